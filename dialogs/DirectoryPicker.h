// The modal dialog that moves searchRoot through the directory tree and across drives.
#pragma once
#include <windows.h>

// Runs the dialog over owner; returns 0 when it closes. Every choice in it has already moved
// searchRoot by then.
INT_PTR showDirectoryPicker(HWND owner);
INT_PTR CALLBACK directoryPickerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Shows searchRoot's path and refills the list: the drives when the path is a drive's root,
// then its subdirectories. Does nothing while the dialog is not open.
void refreshPicker();

extern HWND pickerWindow;  // the open dialog, or null
extern HWND pickerList;    // its list box
// The text of the entry chosen last: at most 255 characters.
extern char pickedEntry[256];
