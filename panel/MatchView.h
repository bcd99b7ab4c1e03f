// The rich-text control that shows the selected file's matching lines, and the rich-text
// library it needs. Text goes in as runs, each in one colour, at the insertion point.
#pragma once
#include <windows.h>
#include <richedit.h>

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

    // Empties the control. Does nothing while the search panel does not exist.
    void clearView();

    // Inserts text at the end of the control's selection in colour (0x00BBGGRR; 0 is the
    // control's automatic text colour, not black) and scrolls to it. Does nothing while the
    // search panel does not exist.
    void appendText(const char* text, unsigned long colour);

    HWND controlHandle = nullptr;
    HMODULE libraryHandle = nullptr;
    CHARFORMATA charFormat;
    CHARRANGE selection;

private:
    void setColour(unsigned long colour);
};

extern MatchView matchView;
