// The program's one top-level window: its class, its creation, its window procedure and
// the message loop that runs until it is destroyed.
#pragma once
#include <windows.h>

#include "app/MainWindowHandle.h"

// Registers the main window's class. Returns the class atom, or 0 on failure.
ATOM registerMainClass();

// The program's own touches on the generic class description: name, brush, menu, icon.
// Always returns 0.
int customizeClass();

// Creates and shows the main window, which creates the search panel. MainWindow stays null
// when the window cannot be created.
void createMainWindow();

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the message loop until the quit message; returns its exit code.
int runMessageLoop();
