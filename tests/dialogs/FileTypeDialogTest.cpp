#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <functional>
#include <vector>

#include "app/WindowSetup.h"
#include "dialogs/FileTypeDialog.h"
#include "resources/resource.h"
#include "search/SearchState.h"
#include "support/Recorders.h"
#include "support/WindowDriver.h"

namespace {

const char TYPES_CAPTION[] = "File Types to be Searched";
const int BOX_IDS[4] = {IDC_TYPE_HTM, IDC_TYPE_TXT, IDC_TYPE_RTF, IDC_TYPE_DOC};

using Flags = std::array<int, 4>;  // htm, txt, rtf, doc

Flags flags()
{
    return {fileTypeSet.htm.load(), fileTypeSet.txt.load(), fileTypeSet.rtf.load(), fileTypeSet.doc.load()};
}

void setFlags(const Flags& value)
{
    fileTypeSet.htm = value[0];
    fileTypeSet.txt = value[1];
    fileTypeSet.rtf = value[2];
    fileTypeSet.doc = value[3];
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

    INT_PTR runTypes(const std::function<void(HWND)>& script)
    {
        INT_PTR result = -1;
        EXPECT_TRUE(driveDialog(TYPES_CAPTION, [&] { result = showFileTypeDialog(nullptr); }, script));
        return result;
    }
};

TEST_F(FileTypeDialogTest, OpensShowingTheFlagsAndEachClickFlipsBoxAndFlagTogether)
{
    EXPECT_EQ((Flags{1, 1, 0, 0}), flags()) << "the program starts with .htm and .txt only";
    for (const Flags& start : {Flags{1, 1, 0, 0}, Flags{0, 0, 1, 1}}) {
        setFlags(start);
        // As opened, after each box's first and second click, and after a double click.
        std::vector<Flags> expected = {start}, shown, set;
        for (int i = 0; i < 4; ++i) {
            expected.push_back(start);
            expected.back()[i] ^= 1;
            expected.push_back(start);
        }
        expected.push_back(start);
        runTypes([&](HWND dialog) {
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
        });
        EXPECT_EQ(expected, shown);
        EXPECT_EQ(expected, set);
    }
}

TEST_F(FileTypeDialogTest, EscapeAndOkKeepWhatTheClicksMade)
{
    // Escape goes through the dialog's own keyboard handling; OK is a plain click.
    const std::function<void(HWND)> closers[] = {
        [](HWND dialog) { PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); },
        [](HWND dialog) { sendCommand(dialog, IDOK); },
    };
    for (const auto& close : closers) {
        setFlags({1, 1, 0, 0});
        bool closed = false;
        INT_PTR result = runTypes([&](HWND dialog) {
            click(dialog, IDC_TYPE_RTF);
            close(dialog);
            closed = waitUntilGone(dialog, 5000);
        });
        EXPECT_TRUE(closed);
        EXPECT_EQ(0, result);
        EXPECT_EQ((Flags{1, 1, 1, 0}), flags());
    }
}

} // namespace
