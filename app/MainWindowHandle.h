// What the main window's parts share: the window itself and its client size. Below both the
// window procedure (app/MainWindow) and the menu's commands (app/MenuCommands), so neither
// reaches the other through the window.
#pragma once
#include <windows.h>

// The program's top-level window; null until it has been created.
extern HWND MainWindow;

// The last client size the window was told about (WM_SIZE), which the panel is given.
extern short clientWidth;
extern short clientHeight;
