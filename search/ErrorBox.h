// The message boxes the user must see. Every one is owned by the main window.
#pragma once
#include <windows.h>

// The program's top-level window; null until it has been created.
extern HWND MainWindow;

// MessageBoxA with MainWindow as owner and OK/Cancel buttons. Returns the button the user
// pressed (IDOK or IDCANCEL).
int showErrorBox(const char* text, const char* caption);
