#include "panel/PanelLayout.h"

#include "panel/MatchView.h"
#include "panel/PanelWindow.h"

PanelLayout panelLayout = {};

namespace {

// The panel as the dialog manager made it, at its first scale. Every later scale is worked
// out from this, not from the one before, so moving back and forth between screens never
// lets the rounding add up.
struct FirstLayout {
    PanelLayout offsets;
    LOGFONTA font;
    HFONT dialogFont;  // the dialog manager's; it goes with the dialog
    // The controls that keep their template places: the search box and the buttons. The
    // columns' four are placed by layoutPanel, and the match view is made anew at times.
    struct Placed {
        HWND control;
        RECT rect;  // in the panel's client coordinates; a combo box's with its list dropped
    } fixed[8];
    int fixedCount;
};

FirstLayout first = {};
// The font made for the panel at a scale other than its first.
HFONT scaledFont = nullptr;

// Functions of Windows 10 and later, looked up so the program still starts on Windows 7.
template <typename Function> Function user32Function(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

bool inColumns(HWND control)
{
    return control == panelControls.filesLabel || control == panelControls.fileList ||
           control == panelControls.matchesLabel || control == matchView.control();
}

BOOL CALLBACK rememberControl(HWND control, LPARAM lParam)
{
    HWND panel = reinterpret_cast<HWND>(lParam);
    // Parts of a control, such as a combo box's edit field, have a parent of their own.
    if (GetParent(control) != panel || inColumns(control) ||
        first.fixedCount == sizeof first.fixed / sizeof first.fixed[0])
        return TRUE;
    RECT r;
    GetWindowRect(control, &r);
    // A combo box's window rectangle is its closed height; the height it is given includes
    // its list.
    char className[16] = "";
    GetClassNameA(control, className, sizeof className);
    RECT dropped;
    if (lstrcmpiA(className, "ComboBox") == 0 &&
        SendMessageA(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)))
        r.bottom = r.top + (dropped.bottom - dropped.top);
    MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&r), 2);
    first.fixed[first.fixedCount++] = {control, r};
    return TRUE;
}

int fromFirst(int pixels, int dpi)
{
    return MulDiv(pixels, dpi, first.offsets.dpi);
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

    first = {};
    first.offsets = panelLayout;
    first.dialogFont = reinterpret_cast<HFONT>(SendMessageA(panel, WM_GETFONT, 0, 0));
    if (first.dialogFont == nullptr || GetObjectA(first.dialogFont, sizeof first.font, &first.font) == 0)
        first.dialogFont = nullptr;
    EnumChildWindows(panel, rememberControl, reinterpret_cast<LPARAM>(panel));
    // The panel follows a change of scale itself (rescalePanel); the dialog manager doing the
    // same on top would scale everything twice.
    typedef BOOL(WINAPI * DialogDpiBehaviour)(HWND, int, int);
    static DialogDpiBehaviour setBehaviour = user32Function<DialogDpiBehaviour>("SetDialogDpiChangeBehavior");
    const int DISABLE_ALL = 1;
    if (setBehaviour != nullptr)
        setBehaviour(panel, DISABLE_ALL, DISABLE_ALL);
}

int panelFixedWidth()
{
    HWND panel = panelWindow.load();
    if (panel == nullptr)
        return 0;
    int right = 0;
    for (int i = 0; i < first.fixedCount; ++i) {
        if (first.fixed[i].rect.right > right)
            right = first.fixed[i].rect.right;
    }
    RECT outer, client;
    GetWindowRect(panel, &outer);
    GetClientRect(panel, &client);
    return right + scaledPixels(5, first.offsets.dpi) + (outer.right - outer.left) - client.right;
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
    MoveWindow(matchView.control(), half + gap, at.listTop, half - gap - margin, columnHeight, TRUE);
}

void rescalePanel(int dpi)
{
    HWND panel = panelWindow.load();
    if (panel == nullptr || dpi <= 0 || first.offsets.dpi <= 0 || first.dialogFont == nullptr || dpi == panelLayout.dpi)
        return;
    HFONT previous = scaledFont;
    scaledFont = nullptr;
    HFONT font = first.dialogFont;
    if (dpi != first.offsets.dpi) {
        LOGFONTA scaled = first.font;
        scaled.lfHeight = fromFirst(first.font.lfHeight, dpi);
        scaledFont = CreateFontIndirectA(&scaled);
        font = scaledFont;
    }
    for (int i = 0; i < first.fixedCount; ++i) {
        const RECT& r = first.fixed[i].rect;
        HWND control = first.fixed[i].control;
        MoveWindow(control, fromFirst(r.left, dpi), fromFirst(r.top, dpi), fromFirst(r.right - r.left, dpi),
                   fromFirst(r.bottom - r.top, dpi), TRUE);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    const HWND columns[] = {panelControls.filesLabel, panelControls.fileList, panelControls.matchesLabel};
    for (HWND control : columns)
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    matchView.setFont(font);
    if (previous != nullptr)
        DeleteObject(previous);
    panelLayout.labelTop = fromFirst(first.offsets.labelTop, dpi);
    panelLayout.labelHeight = fromFirst(first.offsets.labelHeight, dpi);
    panelLayout.listTop = fromFirst(first.offsets.listTop, dpi);
    panelLayout.dpi = dpi;
    layoutPanel();
}

void releasePanelFont()
{
    if (scaledFont != nullptr)
        DeleteObject(scaledFont);
    scaledFont = nullptr;
    first = {};
}
