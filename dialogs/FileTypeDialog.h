// The modal dialog with one check box per searched file kind.
#pragma once
#include <windows.h>

INT_PTR showFileTypeDialog(HWND owner);
INT_PTR CALLBACK fileTypeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
