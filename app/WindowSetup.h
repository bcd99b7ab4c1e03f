// The description the window class and the main window are made from.
#pragma once
#include <windows.h>
#include <cstddef>

#include "resources/ResourceModule.h"

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
