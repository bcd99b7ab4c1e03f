// What the main menu's commands do, and the search options they toggle.
#pragma once
#include <windows.h>
#include <atomic>

// Carries out a menu command. wParam is compared whole, so only commands with notification
// code 0 (as menu items send them) are recognised. The two panel commands are handed to
// the search panel as if its own buttons had sent them.
void onMenuCommand(WPARAM wParam, LPARAM lParam);

// Flips an option flag and sets its menu item's check mark to match.
void toggleOption(std::atomic<int>& flag, UINT command);
