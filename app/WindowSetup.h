// Start-up state of the program: the module instance, the main window and its menu, and
// the description the window class and the main window are made from.
#pragma once
#include <windows.h>
#include <cstddef>

#include "search/ErrorBox.h"  // MainWindow, the owner of every error box and modal dialog

const std::size_t CLASS_NAME_CAPACITY = 512;

struct WindowSetup {
    WNDCLASSA windowClass;
    HINSTANCE previousInstance;
    int showCommand;
    // The class name, which is also the main window's title.
    char className[CLASS_NAME_CAPACITY];
    DWORD windowStyle;
    int x;
    int y;
    int width;
    int height;
};

extern WindowSetup windowSetup;

// The module instance every resource and dialog is loaded from.
extern HINSTANCE appInstance;
// The main menu; the option check marks are set through it.
extern HMENU mainMenu;
