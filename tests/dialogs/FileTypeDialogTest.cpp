#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <vector>

#include "resources/ResourceModule.h"
#include "dialogs/FileTypeDialog.h"
#include "resources/resource.h"
#include "search/SearchState.h"
#include "support/Recorders.h"
#include "support/WindowDriver.h"

namespace {

const char TYPES_CAPTION[] = "File Types to be Searched";
const int BOX_IDS[4] = {IDC_TYPE_HTM, IDC_TYPE_TXT, IDC_TYPE_RTF, IDC_TYPE_DOC};

using Flags = std::array<int, 4>;  // htm, txt, rtf, doc
std::atomic<int>* const FLAGS[4] = {&fileTypeSet.htm, &fileTypeSet.txt, &fileTypeSet.rtf, &fileTypeSet.doc};

Flags flags()
{
    Flags set{};
    for (int i = 0; i < 4; ++i)
        set[i] = FLAGS[i]->load();
    return set;
}

Flags boxes(HWND dialog)
{
    Flags shown{};
    for (int i = 0; i < 4; ++i)
        shown[i] = IsDlgButtonChecked(dialog, BOX_IDS[i]) == BST_CHECKED ? 1 : 0;
    return shown;
}

// A click of the mouse on a box, as the box itself receives it; a double click when twice.
void click(HWND dialog, int id, bool twice = false)
{
    HWND box = GetDlgItem(dialog, id);
    SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    if (twice) {
        SendMessageA(box, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
}

class FileTypeDialogTest : public testing::Test {
protected:
    void SetUp() override { appInstance = GetModuleHandleA(nullptr); }
    void TearDown() override { resetSharedState(); }
};

// Escape goes through the dialog's own keyboard handling; OK is a plain click.
TEST_F(FileTypeDialogTest, OpensShowingTheFlagsEachClickFlipsBoxAndFlagAndEscapeOrOkKeepsThem)
{
    EXPECT_EQ((Flags{1, 1, 0, 0}), flags()) << "the program starts with .htm and .txt only";
    const struct {
        Flags start;
        bool escape;
    } cases[] = {{{1, 1, 0, 0}, true}, {{0, 0, 1, 1}, false}};
    for (const auto& c : cases) {
        for (int i = 0; i < 4; ++i)
            *FLAGS[i] = c.start[i];
        // As opened, after each box's first and second click, and after a double click.
        std::vector<Flags> expected = {c.start}, shown, set;
        for (int i = 0; i < 4; ++i) {
            expected.push_back(c.start);
            expected.back()[i] ^= 1;
            expected.push_back(c.start);
        }
        expected.push_back(c.start);
        bool closed = false;
        auto open = [] { showFileTypeDialog(nullptr); };
        EXPECT_TRUE(driveDialog(TYPES_CAPTION, open, [&](HWND dialog) {
            auto note = [&] {
                shown.push_back(boxes(dialog));
                set.push_back(flags());
            };
            note();
            for (int id : BOX_IDS) {
                click(dialog, id);
                note();
                click(dialog, id);
                note();
            }
            click(dialog, IDC_TYPE_RTF, true);
            note();
            click(dialog, IDC_TYPE_RTF);
            if (c.escape)
                PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
            else
                sendCommand(dialog, IDOK);
            closed = waitUntilGone(dialog, 5000);
        }));
        SCOPED_TRACE(c.escape ? "Escape" : "OK");
        EXPECT_EQ(expected, shown);
        EXPECT_EQ(expected, set);
        EXPECT_TRUE(closed);
        Flags kept = c.start;
        kept[2] ^= 1;
        EXPECT_EQ(kept, flags()) << "the last click on .rtf stays";
    }
}

}  // namespace
