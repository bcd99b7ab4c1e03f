// The module the resources are loaded from, and the menu loaded from it. Every folder that
// shows a window needs them, so they live here, with the identifiers, needing nothing but
// <windows.h>; app/ sets them at start-up.
#pragma once
#include <windows.h>

// The module instance every resource and dialog is loaded from.
extern HINSTANCE appInstance;
// The main menu; the option check marks are set through it.
extern HMENU mainMenu;
