// Checks a window's layout as a user would see it: every visible control inside its
// parent's client area, no two overlapping, every caption fitting its control.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// One line for every fault among parent's visible direct children; empty when there is none.
std::vector<std::string> layoutFaults(HWND parent);

// The window's rectangle in its parent's client coordinates.
RECT rectInParent(HWND window);
