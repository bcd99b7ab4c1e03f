// Every dialog as it opens at the scale of the screen: ctest runs these in the normal prefix
// and again in ones at 144 and 192 dots per inch.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "app/AboutDialog.h"
#include "dialogs/BrowserDialog.h"
#include "dialogs/DirectoryPicker.h"
#include "dialogs/FileTypeDialog.h"
#include "resources/ResourceModule.h"
#include "search/DirectoryCursor.h"
#include "support/LayoutCheck.h"
#include "support/WindowDriver.h"

namespace {

TEST(DialogLayout, EveryControlInsideItsDialogNoneOverlappingEveryCaptionWhole)
{
    int dpi = screenDpi();
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
        std::string faults;
        int controls = 0;
        int font = 0;
        EXPECT_TRUE(driveDialog(dialog.caption, dialog.open, [&](HWND box) {
            faults = layoutFaults(box);
            font = fontPixels(box);
            for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
                ++controls;
        }));
        EXPECT_GE(controls, 3);
        EXPECT_EQ(dialogFontPixels(dpi), font);
        EXPECT_EQ("", faults);
    }
    searchRoot.setPath(previousRoot.c_str());
}

}  // namespace
