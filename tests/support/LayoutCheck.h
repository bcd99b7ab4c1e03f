// Checks a window's layout as a user would see it: every visible control inside its
// parent's client area, no two overlapping, every caption fitting its control.
#pragma once
#include <windows.h>

#include <string>

// One line for every fault among parent's visible direct children; empty when there is none.
std::string layoutFaults(HWND parent);

// The screen's dots per inch, after checking that they are the test prefix's: 96, or what
// ctest sets in KADREL_TEST_DPI.
int screenDpi();

// The height in pixels of the dialogs' 8-point font at dpi (96, 144 or 192); 0 for another.
int dialogFontPixels(int dpi);

// The height in pixels of the font control has.
int fontPixels(HWND control);

// The window's rectangle in its parent's client coordinates.
RECT rectInParent(HWND window);
