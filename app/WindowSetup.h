// Start-up state of the program: the module instance, the main window and its menu.
#pragma once
#include <windows.h>
#include "search/ErrorBox.h"  // MainWindow, the owner of every error box and modal dialog

// The module instance every resource and dialog is loaded from.
extern HINSTANCE appInstance;
// The main menu; the option check marks are set through it.
extern HMENU mainMenu;
