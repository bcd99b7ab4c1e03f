#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <functional>

#include "DialogDriver.h"
#include "app/WindowSetup.h"
#include "dialogs/FileTypeDialog.h"
#include "resources/resource.h"
#include "search/SearchState.h"

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

// A click of the mouse on a box, as the box itself receives it.
void click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(GetDlgItem(dialog, id), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

void doubleClick(HWND dialog, int id)
{
    HWND box = GetDlgItem(dialog, id);
    SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    SendMessageA(box, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

class FileTypeDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        appInstance = GetModuleHandleA(nullptr);
        saved = flags();
    }
    void TearDown() override { setFlags(saved); }

    INT_PTR runTypes(const std::function<void(HWND)>& script)
    {
        INT_PTR result = -1;
        EXPECT_TRUE(driveDialog(TYPES_CAPTION, [&] { result = showFileTypeDialog(nullptr); }, script));
        return result;
    }

    Flags saved;
};

TEST_F(FileTypeDialogTest, OpensShowingTheCurrentFlags)
{
    EXPECT_EQ((Flags{1, 1, 0, 0}), flags()) << "the first opening shows .htm and .txt only";
    for (const Flags& start : {Flags{1, 1, 0, 0}, Flags{0, 0, 1, 1}, Flags{1, 0, 1, 0}}) {
        setFlags(start);
        Flags shown{};
        runTypes([&](HWND dialog) { shown = boxes(dialog); });
        EXPECT_EQ(start, shown);
        EXPECT_EQ(start, flags()) << "opening and closing changes nothing";
    }
}

TEST_F(FileTypeDialogTest, EachClickFlipsBoxAndFlagTogether)
{
    for (int i = 0; i < 4; ++i) {
        setFlags({1, 1, 0, 0});
        Flags expected{1, 1, 0, 0};
        expected[i] ^= 1;
        Flags afterOne{}, boxesAfterOne{}, afterTwo{}, boxesAfterTwo{};
        runTypes([&](HWND dialog) {
            click(dialog, BOX_IDS[i]);
            afterOne = flags();
            boxesAfterOne = boxes(dialog);
            click(dialog, BOX_IDS[i]);
            afterTwo = flags();
            boxesAfterTwo = boxes(dialog);
        });
        EXPECT_EQ(expected, afterOne) << "box " << i;
        EXPECT_EQ(expected, boxesAfterOne) << "box " << i;
        EXPECT_EQ((Flags{1, 1, 0, 0}), afterTwo) << "box " << i;
        EXPECT_EQ((Flags{1, 1, 0, 0}), boxesAfterTwo) << "box " << i;
    }
}

TEST_F(FileTypeDialogTest, DoubleClickRestoresBoxAndFlag)
{
    Flags after{}, shown{};
    runTypes([&](HWND dialog) {
        doubleClick(dialog, IDC_TYPE_RTF);
        after = flags();
        shown = boxes(dialog);
    });
    EXPECT_EQ((Flags{1, 1, 0, 0}), after);
    EXPECT_EQ((Flags{1, 1, 0, 0}), shown);
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
