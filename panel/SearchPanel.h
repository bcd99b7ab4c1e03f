// The modeless child dialog that fills the main window: the search string and its history,
// the start/stop button, the list of matching files and the view of one file's matches.
#pragma once
#include <windows.h>

#include "panel/PanelWindow.h"

INT_PTR CALLBACK searchPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);

// Puts text at the top of the combo box's history after removing the first entry that
// begins with it, compared without regard to case.
void rememberSearchString(HWND comboBox, const char* text);
