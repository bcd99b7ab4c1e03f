// The modal dialog that moves searchRoot through the directory tree and across drives.
#pragma once
#include <windows.h>

INT_PTR showDirectoryPicker(HWND owner);
INT_PTR CALLBACK directoryPickerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void refreshPicker();
