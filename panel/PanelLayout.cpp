#include "panel/PanelLayout.h"

#include "panel/SearchPanel.h"

PanelLayout panelLayout = {};

namespace {

// The font made for the panel at a scale other than its first; the first is the dialog
// manager's and goes with the dialog.
HFONT scaledFont = nullptr;

// Functions of Windows 10 and later, looked up so the program still starts on Windows 7.
template <typename Function> Function user32Function(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

void moveScaled(HWND control, HWND panel, int dpi, int oldDpi)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&r), 2);
    // A combo box's window rectangle is its closed height; its dropped height is asked apart.
    int height = r.bottom - r.top;
    char className[16] = "";
    GetClassNameA(control, className, sizeof className);
    if (lstrcmpiA(className, "ComboBox") == 0) {
        RECT dropped;
        if (SendMessageA(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)))
            height = dropped.bottom - dropped.top;
    }
    MoveWindow(control, MulDiv(r.left, dpi, oldDpi), MulDiv(r.top, dpi, oldDpi),
               MulDiv(r.right - r.left, dpi, oldDpi), MulDiv(height, dpi, oldDpi), TRUE);
}

BOOL CALLBACK rescaleChild(HWND control, LPARAM lParam)
{
    const int* dpis = reinterpret_cast<const int*>(lParam);
    HWND panel = GetParent(control);
    if (panel != panelWindow.load())
        return TRUE;  // a part of a control, such as a combo box's edit field
    moveScaled(control, panel, dpis[0], dpis[1]);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(scaledFont), TRUE);
    return TRUE;
}

}  // namespace

int windowDpi(HWND window)
{
    typedef UINT(WINAPI * DpiForWindow)(HWND);
    static DpiForWindow dpiForWindow = user32Function<DpiForWindow>("GetDpiForWindow");
    if (dpiForWindow != nullptr && window != nullptr) {
        UINT dpi = dpiForWindow(window);
        if (dpi != 0)
            return static_cast<int>(dpi);
    }
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int scaledPixels(int pixels96, int dpi)
{
    return MulDiv(pixels96, dpi, 96);
}

void measurePanel(HWND panel)
{
    RECT panelRect, rect;
    GetWindowRect(panel, &panelRect);
    GetWindowRect(panelControls.filesLabel, &rect);
    panelLayout.labelTop = rect.top - panelRect.top;
    panelLayout.labelHeight = rect.bottom - rect.top;
    GetWindowRect(panelControls.fileList, &rect);
    panelLayout.listTop = rect.top - panelRect.top;
    panelLayout.dpi = windowDpi(panel);
    // The panel follows a change of scale itself (rescalePanel); the dialog manager doing the
    // same on top would scale everything twice.
    typedef BOOL(WINAPI * DialogDpiBehaviour)(HWND, int, int);
    static DialogDpiBehaviour setBehaviour = user32Function<DialogDpiBehaviour>("SetDialogDpiChangeBehavior");
    const int DISABLE_ALL = 1;
    if (setBehaviour != nullptr)
        setBehaviour(panel, DISABLE_ALL, DISABLE_ALL);
}

// Two columns share the width: the file list on the left, the match view on the right.
// The offsets were measured from the outer rectangle and are used as client coordinates.
void layoutPanel()
{
    HWND panel = panelWindow.load();
    if (panel == nullptr)
        return;  // the dialog is sized while it is created, before its controls exist
    RECT client;
    GetClientRect(panel, &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    int half = width / 2;
    const PanelLayout& at = panelLayout;
    int margin = scaledPixels(5, at.dpi);
    int gap = scaledPixels(10, at.dpi);
    int columnHeight = height - at.listTop - margin;
    MoveWindow(panelControls.filesLabel, margin, at.labelTop, half - margin, at.labelHeight, TRUE);
    MoveWindow(panelControls.fileList, margin, at.listTop, half - margin, columnHeight, TRUE);
    MoveWindow(panelControls.matchesLabel, half + gap, at.labelTop, half - gap - margin, at.labelHeight, TRUE);
    MoveWindow(panelControls.matchView, half + gap, at.listTop, half - gap - margin, columnHeight, TRUE);
}

void rescalePanel(int dpi)
{
    HWND panel = panelWindow.load();
    int oldDpi = panelLayout.dpi;
    if (panel == nullptr || dpi <= 0 || oldDpi <= 0 || dpi == oldDpi)
        return;
    LOGFONTA font = {};
    HFONT current = reinterpret_cast<HFONT>(SendMessageA(panelControls.searchButton, WM_GETFONT, 0, 0));
    if (current == nullptr || GetObjectA(current, sizeof font, &font) == 0)
        return;
    font.lfHeight = MulDiv(font.lfHeight, dpi, oldDpi);
    HFONT previous = scaledFont;
    scaledFont = CreateFontIndirectA(&font);
    int dpis[2] = {dpi, oldDpi};
    EnumChildWindows(panel, rescaleChild, reinterpret_cast<LPARAM>(dpis));
    if (previous != nullptr)
        DeleteObject(previous);
    panelLayout.labelTop = MulDiv(panelLayout.labelTop, dpi, oldDpi);
    panelLayout.labelHeight = MulDiv(panelLayout.labelHeight, dpi, oldDpi);
    panelLayout.listTop = MulDiv(panelLayout.listTop, dpi, oldDpi);
    panelLayout.dpi = dpi;
    layoutPanel();
}

void releasePanelFont()
{
    if (scaledFont != nullptr)
        DeleteObject(scaledFont);
    scaledFont = nullptr;
}
