#include "support/LayoutCheck.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "support/WindowDriver.h"

namespace {

std::string describe(HWND control)
{
    char className[64] = "";
    GetClassNameA(control, className, sizeof className);
    char id[16];
    std::snprintf(id, sizeof id, " %d", GetDlgCtrlID(control));
    return std::string(className) + id + " \"" + windowText(control) + "\"";
}

std::string describe(const RECT& r)
{
    char text[64];
    std::snprintf(text, sizeof text, " (%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

bool hasCaption(HWND control)
{
    char className[64] = "";
    GetClassNameA(control, className, sizeof className);
    return lstrcmpiA(className, "Button") == 0 || lstrcmpiA(className, "Static") == 0;
}

// The room the control leaves its text: a push button's frame, a check box's box.
int textRoom(HWND control, int textHeight)
{
    RECT client;
    GetClientRect(control, &client);
    char className[64] = "";
    GetClassNameA(control, className, sizeof className);
    if (lstrcmpiA(className, "Button") != 0)
        return client.right;
    LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
        return client.right - textHeight - textHeight / 2;
    return client.right - 2 * GetSystemMetrics(SM_CXEDGE) - textHeight / 2;
}

// Text wider than its room, or taller than its control.
std::string captionFault(HWND control)
{
    std::string text = windowText(control);
    if (text.empty() || !hasCaption(control))
        return "";
    HDC dc = GetDC(control);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    RECT client;
    GetClientRect(control, &client);
    if (extent.cx > textRoom(control, extent.cy) || extent.cy > client.bottom) {
        char sizes[96];
        std::snprintf(sizes, sizeof sizes, ": text %ldx%ld, control %ldx%ld", extent.cx, extent.cy, client.right,
                      client.bottom);
        return describe(control) + " cuts its caption" + sizes;
    }
    return "";
}

}  // namespace

RECT rectInParent(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string layoutFaults(HWND parent)
{
    std::string faults;
    RECT client;
    GetClientRect(parent, &client);
    std::vector<HWND> controls;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child))
            controls.push_back(child);
    }
    for (size_t i = 0; i < controls.size(); ++i) {
        RECT r = rectInParent(controls[i]);
        if (r.left < client.left || r.top < client.top || r.right > client.right || r.bottom > client.bottom)
            faults += describe(controls[i]) + describe(r) + " leaves its parent" + describe(client) + "\n";
        if (r.right <= r.left || r.bottom <= r.top)
            faults += describe(controls[i]) + " is empty\n";
        for (size_t j = 0; j < i; ++j) {
            RECT other = rectInParent(controls[j]), common;
            if (IntersectRect(&common, &r, &other))
                faults += describe(controls[i]) + " overlaps " + describe(controls[j]) + "\n";
        }
        std::string caption = captionFault(controls[i]);
        if (!caption.empty())
            faults += caption + "\n";
    }
    return faults;
}

int screenDpi()
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const char* wanted = std::getenv("KADREL_TEST_DPI");
    EXPECT_EQ(wanted != nullptr ? std::atoi(wanted) : 96, dpi) << "the prefix is at another scale";
    return dpi;
}

int dialogFontPixels(int dpi)
{
    const struct {
        int dpi, pixels;
    } scales[] = {{96, 11}, {144, 16}, {192, 21}};
    for (const auto& scale : scales) {
        if (scale.dpi == dpi)
            return scale.pixels;
    }
    return 0;
}

int fontPixels(HWND control)
{
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
}
