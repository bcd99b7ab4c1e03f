#include "ProgramHarness.h"

#include <atomic>
#include <string>

#include "app/WindowSetup.h"
#include "dialogs/Beep.h"
#include "panel/ResultList.h"
#include "panel/SearchPanel.h"
#include "panel/SearchThread.h"
#include "resources/resource.h"
#include "search/SearchState.h"
#include "support/ProgramRunner.h"

namespace {

const char* const CLASS_NAME = "Kadrel Text Search Program";
using Entries = std::vector<std::string>;

bool checked(UINT command)
{
    return (GetMenuState(mainMenu, command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

TEST_F(ProgramTest, StartsWithTitleAndAnEmptyResultList)
{
    EXPECT_EQ(CLASS_NAME, windowText(MainWindow));
    EXPECT_EQ(Entries{"No files found"}, listEntries());
    EXPECT_EQ(LB_ERR, SendMessageA(panelControls.fileList, LB_GETCURSEL, 0, 0));
    EXPECT_EQ(0, resultList.resultCount);
    EXPECT_STREQ("No files found", resultList.selectedFile);
    EXPECT_EQ("Search for String", windowText(panelControls.searchButton));
    EXPECT_TRUE(viewRuns().empty());
}

TEST_F(ProgramTest, OptionsStartMarkedAsSetAndEachMenuClickFlipsFlagAndMark)
{
    const struct {
        UINT command;
        std::atomic<int>& flag;
        int start;
    } options[] = {
        {IDM_CASE_SENSITIVE, searchOptions.caseSensitive, 0},
        {IDM_WHOLE_WORDS, searchOptions.wholeWordsOnly, 0},
        {IDM_SUBDIRECTORIES, searchOptions.searchSubdirectories, 1},
    };
    for (const auto& option : options) {
        SCOPED_TRACE(option.command);
        EXPECT_EQ(option.start, option.flag.load());
        EXPECT_EQ(option.start != 0, checked(option.command));
        menu(option.command);
        EXPECT_EQ(1 - option.start, option.flag.load());
        EXPECT_EQ(option.start == 0, checked(option.command));
        // Only what a menu item sends counts: the same id with a notification code is ignored.
        SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(option.command, 1), 0);
        menu(option.command);
        EXPECT_EQ(option.start, option.flag.load());
        EXPECT_EQ(option.start != 0, checked(option.command));
    }
}

TEST_F(ProgramTest, MenuSearchAndLaunchOnlyBeepWithNothingToDoAndNothingOnceThePanelIsGone)
{
    int before = beepCount();
    menu(IDC_SEARCH);          // the search string is empty
    menu(IDC_LAUNCH_BROWSER);  // there is no result
    EXPECT_EQ(before + 2, beepCount());
    EXPECT_EQ(0, searchActive.load());
    EXPECT_EQ(0, searchThreadsAlive());
    EXPECT_TRUE(history().empty());
    EXPECT_EQ("Search for String", windowText(panelControls.searchButton));

    SendMessageA(panelWindow, WM_COMMAND, IDCANCEL, 0);
    ASSERT_EQ(nullptr, panelWindow.load());
    menu(IDC_SEARCH);
    menu(IDC_LAUNCH_BROWSER);
    EXPECT_EQ(before + 2, beepCount());
    resultList.add("C:\\nothing.txt", "C:\\nothing.txt");
    EXPECT_EQ(Entries{"No files found"}, listEntries());
}

TEST_F(ProgramTest, DestroyingTheWindowStopsARunningSearch)
{
    typeSearchString("anything");
    clickSearch();
    ASSERT_EQ(1, searchActive.load());
    DestroyWindow(MainWindow);
    MainWindow = nullptr;
    EXPECT_EQ(0, searchActive.load());
}

TEST_F(ProgramTest, AboutBoxShowsTheVersionAndClosesOnOkAndTheCloseBox)
{
    for (bool closeBox : {false, true}) {
        std::string version;
        bool closed = false;
        EXPECT_TRUE(driveDialog(
            "About", [this] { menu(IDM_ABOUT); },
            [&](HWND box) {
                version = windowText(FindWindowExA(box, nullptr, "Static", nullptr));
                if (closeBox)
                    SendMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
                else
                    sendCommand(box, IDOK);
                closed = waitUntilGone(box, 5000);
            }));
        EXPECT_EQ("Kadrel Find Program V 2.1.0.1", version);
        EXPECT_TRUE(closed) << (closeBox ? "close box" : "OK");
    }
}

std::string program()
{
    return besideThisTest("..\\KadrelSearch.exe");
}

TEST(ProgramExit, ExitMenuAndClosingTheWindowEndWithCodeZero)
{
    EXPECT_EQ(0u, runProgramAndClose(program(), WM_COMMAND, IDM_EXIT)) << "File, Exit";
    EXPECT_EQ(0u, runProgramAndClose(program(), WM_CLOSE, 0)) << "close box";
}

// A search thread that is reading or waiting on its box when the window closes must not
// keep the process alive, nor find the objects it works through destroyed under it.
TEST(ProgramExit, ClosingDuringASearchEndsWithCodeZero)
{
    TempTree tree;
    for (int i = 0; i < 6; ++i)
        tree.file("big" + std::to_string(i) + ".txt", std::string(16 << 20, 'h') + " needle\n");
    ASSERT_TRUE(tree.lockedFile("sub\\locked.txt", "needle\n"));  // the program's search shows its box for it

    // Closes at moments spread over the reading of the large files.
    for (DWORD delay : {0u, 5u, 15u, 30u, 60u, 120u}) {
        EXPECT_EQ(0u, runProgramAndClose(program(), WM_CLOSE, 0, tree.root().c_str(),
                                         [&](HWND window, DWORD) {
                                             startSearchIn(window, "needle");
                                             Sleep(delay);
                                         }))
            << "closed " << delay << " ms into the search";
    }
    // The close arrives while the search thread's box holds it.
    for (UINT message : {UINT(WM_CLOSE), UINT(WM_CLOSE), UINT(WM_COMMAND)}) {
        bool boxShown = false;
        EXPECT_EQ(0u,
                  runProgramAndClose(program(), message, IDM_EXIT, tree.root().c_str(), [&](HWND window, DWORD pid) {
                      startSearchIn(window, "needle");
                      boxShown = pumpUntil(
                          [&] {
                              HWND box = FindWindowA("#32770", "Error: cannot open selected file!");
                              DWORD owner = 0;
                              GetWindowThreadProcessId(box, &owner);
                              return box != nullptr && owner == pid;
                          },
                          30000);
                  }));
        EXPECT_TRUE(boxShown);
    }
}

}  // namespace
