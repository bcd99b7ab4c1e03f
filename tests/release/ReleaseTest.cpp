// The release as a user gets it: the program unpacked from the zip (into release-test\ next
// to this test's folder), started, made to search a small folder, read back and closed.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "support/ProgramRunner.h"
#include "support/TempTree.h"
#include "support/WindowDriver.h"

namespace {

// Text from a control of another process. The system carries these messages across in their
// wide form (Wine hands the single-byte forms back as wide text), so they are asked for so.
std::string narrow(const wchar_t* wide)
{
    char text[4096] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

std::vector<std::string> itemsOf(HWND list)
{
    std::vector<std::string> items;
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t item[1024] = L"";
        if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < 1024)
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
        items.push_back(narrow(item));
    }
    return items;
}

std::string textOf(HWND control)
{
    wchar_t text[4096] = L"";
    SendMessageW(control, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
    return narrow(text);
}

TEST(Release, UnpackedProgramSearchesShowsTheMatchesAndEndsWithCodeZero)
{
    TempTree tree;
    tree.file("b.txt", "no fruit here\n");
    tree.file("a.txt", "one line\nan apple a day\n");
    tree.file("sub\\c.htm", "<p>Apples</p>\n");
    tree.file("sub\\d.md", "apple\n");

    std::string program = besideThisTest("..\\release-test\\KadrelSearch.exe");
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(program.c_str())) << program;
    std::vector<std::string> found;
    std::string shown;
    DWORD code = runProgramAndClose(program, WM_CLOSE, 0, tree.root().c_str(), [&](HWND window, DWORD) {
        startSearchIn(window, "APPLE");
        HWND panel = panelOf(window);
        HWND list = GetDlgItem(panel, IDC_FILE_LIST);
        // The end of a search selects the first entry.
        EXPECT_TRUE(pumpUntil([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 0; }, 30000));
        found = itemsOf(list);
        shown = textOf(GetDlgItem(panel, IDC_MATCH_VIEW));
    });
    EXPECT_EQ((std::vector<std::string>{tree.path("a.txt"), tree.path("sub\\c.htm")}), found);
    EXPECT_EQ("2) an apple a day\n", shown);
    EXPECT_EQ(0u, code);
}

}  // namespace
