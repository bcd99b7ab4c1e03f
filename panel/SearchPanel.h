// The modeless child dialog that fills the main window: the search string and its history,
// the start/stop button, the list of matching files and the view of one file's matches.
#pragma once
#include <windows.h>
#include <atomic>

// The search thread hands every result-list operation, emptying the view and the end of a
// search to the panel with one of these, sent (not posted), so the list, the view, the
// button and the search box are only ever used by the window's thread. WM_RESULT_ADD lists
// the paths gathered so far.
const UINT WM_RESULT_CLEAR = WM_APP + 1;
const UINT WM_RESULT_ADD = WM_APP + 2;
const UINT WM_RESULT_FINISH = WM_APP + 3;
const UINT WM_VIEW_CLEAR = WM_APP + 4;
const UINT WM_SEARCH_END = WM_APP + 5;

// Whether the calling thread is the one panel's controls belong to.
bool onPanelThread(HWND panel);

// From any thread but the panel's, sends message to the panel, which carries it out on its
// own thread, and returns true once it has; the caller waits. On the panel's own thread
// returns false: the caller does the work itself.
bool handedToPanel(HWND panel, UINT message);

// The panel's timers: one takes the results the search thread has gathered, the other
// renders the next slice of the selected file.
const UINT_PTR RESULT_TIMER = 1;
const UINT_PTR RENDER_TIMER = 2;

struct PanelControls {
    HWND searchButton;
    HWND searchString;
    HWND filesLabel;
    HWND matchesLabel;
    HWND fileList;
    HWND matchView;
};

// The panel, or null before it has initialised and after it has gone. Every result-list
// and match-view operation does nothing while it is null. Read by the search thread too.
extern std::atomic<HWND> panelWindow;
extern PanelControls panelControls;

INT_PTR CALLBACK searchPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);

// Puts text at the top of the combo box's history after removing the first entry that
// begins with it, compared without regard to case.
void rememberSearchString(HWND comboBox, const char* text);

// Marks the end of a search: the result list is finished (its first entry selected and
// shown, or "No files found"), the button reads "Search for String" again, the beep sounds
// and the search box shows the search string as the search used it.
void endSearch();
