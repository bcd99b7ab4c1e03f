// The modal dialog that hands a file to the browser named in the registry.
#pragma once
#include <windows.h>

INT_PTR showBrowserDialog(HWND owner, const char* path);
INT_PTR CALLBACK browserDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
