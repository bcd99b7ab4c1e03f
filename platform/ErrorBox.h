// The message boxes the user must see. Every one is owned by the program's main window.
#pragma once
#include <windows.h>

// The window that owns every box from now on: the main window once it exists, null before
// and after.
void setErrorBoxOwner(HWND owner);

// The captions of the two boxes about a file: its path is their text.
const char* const OPEN_ERROR_CAPTION = "Error: cannot open selected file!";
const char* const CLOSE_ERROR_CAPTION = "File Close Error!";

// MessageBoxA with the main window as owner and OK/Cancel buttons. Returns the button the user
// pressed (IDOK or IDCANCEL).
int showErrorBox(const char* text, const char* caption);
