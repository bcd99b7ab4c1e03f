// The rich-text control that shows the selected file's matching lines, and the rich-text
// library it needs. Text goes in as runs, each in one colour, at the end of the text.
#pragma once
#include <windows.h>
#include <richedit.h>

#include "panel/RichTextStream.h"

class MatchView {
public:
    // Loads the rich-text library, which registers the control's window class. The one
    // instance is constructed before any window exists.
    MatchView();
    // Frees the library again (at program exit).
    ~MatchView();
    MatchView(const MatchView&) = delete;
    MatchView& operator=(const MatchView&) = delete;

    // Takes the control to act on, when the panel is created; sends it nothing. The control
    // has its panel's font.
    void attach(HWND control);
    // Gives the control font (the panel's, at a new scale), and every control that replaces it.
    void setFont(HFONT font);
    // The control: the one attached, or the fresh one a clear put in its place.
    HWND control() const { return controlHandle; }

    // Empties the control: one holding many lines is replaced by a new, empty one in the
    // same place. Runs appended and not shown yet are dropped. From another thread the
    // panel's thread does it while the caller waits. Does nothing while the search panel
    // does not exist.
    void clearView();

    // Appends text at the end of the text in colour (0x00BBGGRR; 0 is the control's
    // automatic text colour, not black). Runs go into the control together at flush, in a
    // few rich-text streams, when the control shows those exactly as it shows the runs put
    // in one by one; otherwise one by one. From the first run after a flush until the next
    // flush the control neither draws nor keeps undo records: under Wine every insertion
    // otherwise lays the control out and paints it again, and records itself for an undo the
    // view never offers. The first run also puts the insertion point back at the end,
    // wherever the user clicked meanwhile. Does nothing while the search panel does not exist.
    void appendText(const char* text, unsigned long colour);

    // Shows everything appended since the last flush, scrolled to its end, and lets the
    // control draw it, once. A hidden control is left hidden.
    void flush();

    // Whether this control shows a batch exactly as it shows the same runs appended one by
    // one: the same characters in the same colours, fonts and sizes. Tried once, on a hidden
    // control of the same class, the first time it is asked while the panel exists.
    bool showsBatchesExactly();

private:
    bool replaceControl();
    void beginRender();
    void endRender();
    void showBatch();
    void setColour(HWND control, unsigned long colour);
    void insertRun(HWND control, const char* text, unsigned long colour);

    HWND controlHandle = nullptr;
    HFONT font = nullptr;
    HMODULE libraryHandle = nullptr;
    CHARFORMATA charFormat;
    CHARRANGE selection;
    RunBatch batch;
    // How batches go in: not tried yet; as one stream each; or not at all, the runs going in
    // one by one.
    enum { BATCH_UNTRIED, BATCH_STREAMED, BATCH_NEVER } batchMode = BATCH_UNTRIED;
    bool appending = false;  // runs have gone in (or are gathered) since the last flush
    bool drawingSuspended = false;
};

extern MatchView matchView;
