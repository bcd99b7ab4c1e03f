// Where the panel's controls go: the two columns that share its width, with margins that
// follow the scale of the screen the window is on.
#pragma once
#include <windows.h>

// Offsets measured at initialisation, in pixels from the panel's outer top edge, at dpi.
struct PanelLayout {
    int labelTop;
    int labelHeight;
    int listTop;
    int dpi;
};

extern PanelLayout panelLayout;

// The dots per inch the window is drawn at: its monitor's where the system tells each
// window its own, otherwise the screen's.
int windowDpi(HWND window);

// Pixels at dpi for a length of pixels96 at 96 dots per inch, rounded to the nearest.
int scaledPixels(int pixels96, int dpi);

// Measures the offsets from the panel's controls as the dialog manager placed them.
void measurePanel(HWND panel);

// The width of the panel's window that shows its fixed controls (the search box and the two
// buttons) whole, with a margin on the right, at its first scale.
int panelFixedWidth();

// Lays the columns out over the panel's client area.
void layoutPanel();

// Carries the panel over to dpi: its font, the controls that keep their template places and
// the measured offsets scale with it, then the columns are laid out again.
void rescalePanel(int dpi);

// Gives back the font rescalePanel made, once the panel is gone.
void releasePanelFont();
