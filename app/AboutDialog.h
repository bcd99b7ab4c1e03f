// The About box: the program's name, version and credits, closed by OK or Escape.
#pragma once
#include <windows.h>

// Shows the About box modally over owner; returns when it is closed.
void showAboutBox(HWND owner);

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
