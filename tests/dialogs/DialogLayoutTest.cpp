// Every dialog as it opens at the scale of the screen: ctest runs these in the normal prefix
// and again in ones at 144 and 192 dots per inch.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/AboutDialog.h"
#include "dialogs/BrowserDialog.h"
#include "dialogs/DirectoryPicker.h"
#include "dialogs/FileTypeDialog.h"
#include "resources/ResourceModule.h"
#include "search/DirectoryCursor.h"
#include "support/LayoutCheck.h"
#include "support/WindowDriver.h"

namespace {

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// The dialog font, 8 points, in pixels at the scale of the screen.
int fontHeightAt(int dpi)
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

TEST(DialogLayout, EveryControlInsideItsDialogNoneOverlappingEveryCaptionWhole)
{
    // The test prefix's scale: 96 dots per inch, or what ctest says.
    const char* wanted = std::getenv("KADREL_TEST_DPI");
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(wanted != nullptr ? std::atoi(wanted) : 96, dpi);
    appInstance = GetModuleHandleA(nullptr);
    std::string previousRoot = searchRoot.path;
    ASSERT_TRUE(searchRoot.setPath("C:\\windows"));
    const struct {
        const char* caption;
        std::function<void()> open;
    } dialogs[] = {
        {"About", [] { showAboutBox(nullptr); }},
        {"Select Directory to be Searched", [] { showDirectoryPicker(nullptr); }},
        {"File Types to be Searched", [] { showFileTypeDialog(nullptr); }},
        {"Launch Browser", [] { showBrowserDialog(nullptr, "C:\\windows\\win.ini"); }},
    };
    for (const auto& dialog : dialogs) {
        SCOPED_TRACE(dialog.caption);
        std::vector<std::string> faults;
        int controls = 0;
        LOGFONTA font = {};
        EXPECT_TRUE(driveDialog(dialog.caption, dialog.open, [&](HWND box) {
            faults = layoutFaults(box);
            GetObjectA(reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0)), sizeof font, &font);
            for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
                ++controls;
        }));
        EXPECT_GE(controls, 3);
        EXPECT_EQ(fontHeightAt(dpi), font.lfHeight < 0 ? -font.lfHeight : font.lfHeight);
        EXPECT_EQ("", joined(faults));
    }
    searchRoot.setPath(previousRoot.c_str());
}

}  // namespace
