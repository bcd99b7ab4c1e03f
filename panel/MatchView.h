// The rich-text control that shows the selected file's matching lines, and the rich-text
// library it needs. Text goes in as runs, each in one colour, at the insertion point.
#pragma once
#include <windows.h>
#include <richedit.h>

#include "panel/RunBatch.h"

class MatchView {
public:
    // Loads the rich-text library, which registers the control's window class. The one
    // instance is constructed before any window exists.
    MatchView();
    // Frees the library again (at program exit).
    ~MatchView();
    MatchView(const MatchView&) = delete;
    MatchView& operator=(const MatchView&) = delete;

    // Remembers the control to act on; sends it nothing.
    void attach(HWND control);

    // Empties the control: one holding many lines is replaced by a new, empty one in the
    // same place, which controlHandle and the panel's handle then name. From another thread
    // the panel's thread does it while the caller waits. Does nothing while the search panel
    // does not exist.
    void clearView();

    // Puts the insertion point at the end of the text, wherever the user left it.
    void moveCaretToEnd();

    // Inserts text at the end of the control's selection in colour (0x00BBGGRR; 0 is the
    // control's automatic text colour, not black) and scrolls to it. Does nothing while the
    // search panel does not exist.
    void appendText(const char* text, unsigned long colour);

    // Inserts a batch of runs at the end of the control's selection in one go, ending where
    // appending them one by one would, and scrolls to it. Does nothing while the search panel
    // does not exist.
    void appendBatch(const RunBatch& batch);

    // Stops the control drawing while a file's lines go in, and has it keep no undo records
    // of them: under Wine every insertion otherwise lays the control out and paints it
    // again, and records itself for an undo the view never offers. Drawing stays on for a
    // hidden control, since turning it back on would show the control. Does nothing while
    // the search panel does not exist.
    void beginRender();
    // Lets the control draw again, once, everything that went in since beginRender.
    void endRender();

    // Whether this control shows a batch exactly as it shows the same runs appended one by
    // one: the same characters in the same colours, fonts and sizes. Tried once, on a hidden
    // control of the same class, the first time it is asked while the panel exists.
    bool showsBatchesExactly();

    HWND controlHandle = nullptr;
    HMODULE libraryHandle = nullptr;
    CHARFORMATA charFormat;
    CHARRANGE selection;

private:
    bool replaceControl();
    void setColour(HWND control, unsigned long colour);
    void insertRun(HWND control, const char* text, unsigned long colour);

    // How batches go in: not tried yet; as one stream each (panel/RichTextStream); or not at
    // all, the runs going in one by one.
    enum { BATCH_UNTRIED, BATCH_STREAMED, BATCH_NEVER } batchMode = BATCH_UNTRIED;
    bool drawingSuspended = false;
};

extern MatchView matchView;
