// The message boxes the user must see. Every one is owned by the main window.
#pragma once
#include <windows.h>

// The program's top-level window; null until it has been created.
extern HWND MainWindow;

// The captions of the two boxes about a file: its path is their text.
const char* const OPEN_ERROR_CAPTION = "Error: cannot open selected file!";
const char* const CLOSE_ERROR_CAPTION = "File Close Error!";

// MessageBoxA with MainWindow as owner and OK/Cancel buttons. Returns the button the user
// pressed (IDOK or IDCANCEL).
int showErrorBox(const char* text, const char* caption);
