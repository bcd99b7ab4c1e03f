// What the parts of the search panel share: the panel's window and controls, the messages
// that carry work from the search thread to the panel's thread, and the panel's timers. The
// panel's face (SearchPanel.h) and its parts (the result list, the match view, the render,
// the search thread) all stand on this, and it stands on none of them.
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

// The panel's timers: one takes the results the search thread has gathered, the other
// renders the next slice of the selected file.
const UINT_PTR RESULT_TIMER = 1;
const UINT_PTR RENDER_TIMER = 2;

// The panel's controls but the match view, which belongs to the view (panel/MatchView.h).
struct PanelControls {
    HWND searchButton;
    HWND searchString;
    HWND filesLabel;
    HWND matchesLabel;
    HWND fileList;
};

// The panel, or null before it has initialised and after it has gone. Every result-list
// and match-view operation does nothing while it is null. Read by the search thread too.
extern std::atomic<HWND> panelWindow;
extern PanelControls panelControls;

// Whether the calling thread is the one panel's controls belong to.
bool onPanelThread(HWND panel);

// From any thread but the panel's, sends message to the panel, which carries it out on its
// own thread, and returns true once it has; the caller waits. On the panel's own thread
// returns false: the caller does the work itself.
bool sentToPanelThread(HWND panel, UINT message);
