#include "ProgramHarness.h"

#include <tlhelp32.h>

#include <atomic>
#include <cctype>
#include <iterator>
#include <string>

#include "app/WindowSetup.h"
#include "platform/Beep.h"
#include "panel/MatchView.h"
#include "panel/ResultList.h"
#include "panel/SearchPanel.h"
#include "panel/SearchThread.h"
#include "resources/resource.h"
#include "search/SearchState.h"
#include "support/LayoutCheck.h"
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

TEST_F(ProgramTest, StartsWithEveryControlInsideThePanelNoneOverlappingEveryCaptionWhole)
{
    EXPECT_EQ(dialogFontPixels(screenDpi()), fontPixels(panelControls.searchButton));
    EXPECT_EQ("", layoutFaults(MainWindow));
    EXPECT_EQ("", layoutFaults(panelWindow));
}

// The window is widened for the panel's fixed controls within the screen, as it starts and
// when it starts narrow at the screen's right edge; where they need more than the screen's
// width (ctest runs this at 192 dots per inch on a screen of 1024 by 768), it takes that width.
TEST_F(ProgramTest, AWindowWidenedForItsControlsStaysOnTheScreen)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(MainWindow, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT work = monitor.rcWork;
    RECT start;
    GetWindowRect(MainWindow, &start);
    for (bool atTheEdge : {false, true}) {
        SCOPED_TRACE(atTheEdge ? "started narrow at the right edge" : "started where the system put it");
        if (atTheEdge) {
            DestroyWindow(MainWindow);  // and the menu it was given
            mainMenu = LoadMenuA(appInstance, MAKEINTRESOURCEA(IDR_MAIN_MENU));
            windowSetup.x = work.right - 200;
            windowSetup.y = start.top;
            windowSetup.width = 200;
            windowSetup.height = start.bottom - start.top;
            createMainWindow();
            windowSetup.x = windowSetup.y = windowSetup.width = windowSetup.height = CW_USEDEFAULT;
            ASSERT_NE(nullptr, MainWindow);
        }
        RECT window;
        GetWindowRect(MainWindow, &window);
        EXPECT_GE(window.left, work.left);
        EXPECT_LE(window.right, work.right);
        if (!layoutFaults(panelWindow).empty())
            EXPECT_EQ(work.right - work.left, window.right - window.left) << "too narrow for the controls";
    }
}

// Moved to a screen of another scale, the window takes the size the system suggests, and the
// panel's margins, font and fixed controls follow the scale. Rows run in order, each from the
// one before; the last goes back to the scale the window started at, where after all those
// moves every size is again what it was.
TEST_F(ProgramTest, AMoveToAnotherScaleTakesTheSuggestedSizeAndScalesThePanel)
{
    HWND button = panelControls.searchButton;
    int startDpi = screenDpi();
    int startButtonWidth = rectInParent(button).right - rectInParent(button).left;
    int startFont = fontPixels(button);
    struct Move {
        int dpi;
        RECT suggested;
        int margin, gap;  // pixels at that scale
    };
    const Move rows[] = {
        {96, {40, 30, 760, 500}, 5, 10},
        {144, {60, 20, 1100, 700}, 8, 15},
        {192, {0, 0, 1270, 1000}, 10, 20},
        {120, {20, 20, 950, 640}, 6, 13},
    };
    std::vector<Move> moves(std::begin(rows), std::end(rows));
    for (const Move& row : rows) {
        if (row.dpi == startDpi)
            moves.push_back({row.dpi, {30, 40, 1260, 990}, row.margin, row.gap});
    }
    ASSERT_EQ(5u, moves.size()) << "the prefix's scale has no row";
    for (const Move& row : moves) {
        SCOPED_TRACE(row.dpi);
        RECT suggested = row.suggested;
        SendMessageA(MainWindow, WM_DPICHANGED, MAKEWPARAM(row.dpi, row.dpi), reinterpret_cast<LPARAM>(&suggested));
        RECT window;
        GetWindowRect(MainWindow, &window);
        EXPECT_TRUE(EqualRect(&row.suggested, &window));

        RECT main, client;
        GetClientRect(MainWindow, &main);
        GetClientRect(panelWindow, &client);
        RECT panel = rectInParent(panelWindow);
        EXPECT_EQ(0, panel.left);
        EXPECT_EQ(main.right, panel.right);
        EXPECT_EQ(main.bottom, panel.bottom);
        int half = client.right / 2;
        RECT list = rectInParent(panelControls.fileList), view = rectInParent(matchView.control());
        EXPECT_EQ(row.margin, list.left);
        EXPECT_EQ(half, list.right);
        EXPECT_EQ(half + row.gap, view.left);
        EXPECT_EQ(2 * half - row.margin, view.right);
        EXPECT_EQ(client.bottom - row.margin, list.bottom);
        EXPECT_EQ(list.top, view.top);
        EXPECT_EQ(rectInParent(panelControls.filesLabel).left, list.left);
        EXPECT_EQ(rectInParent(panelControls.matchesLabel).left, view.left);

        // Within a pixel of the start's size times the change of scale, for the rounding.
        int buttonWidth = rectInParent(button).right - rectInParent(button).left;
        EXPECT_NEAR(startButtonWidth * row.dpi / startDpi, buttonWidth, 1);
        EXPECT_NEAR(startFont * row.dpi / startDpi, fontPixels(button), 1);
        if (row.dpi == startDpi) {
            EXPECT_EQ(startButtonWidth, buttonWidth);
            EXPECT_EQ(startFont, fontPixels(button));
        }
        EXPECT_EQ("", layoutFaults(panelWindow));
    }
}

// The default character height of the match view, in twips.
LONG viewTextHeight()
{
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    SendMessageA(matchView.control(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    return format.yHeight;
}

// A view emptied of many lines is made anew; after a move to twice the scale, the new one has
// the panel's font at that scale too: twice 11 pixels, at the screen's 96 dots per inch.
TEST_F(ProgramTest, AViewMadeAnewAfterAMoveToAnotherScaleHasTheFontOfThatScale)
{
    RECT suggested = {0, 0, 1270, 1000};
    SendMessageA(MainWindow, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(22 * 1440 / 96, viewTextHeight());
    HWND before = matchView.control();
    std::string lines;
    for (int line = 0; line < 300; ++line)
        lines += "a matching line\n";
    matchView.appendText(lines.c_str(), 0);
    matchView.clearView();
    ASSERT_NE(before, matchView.control()) << "the view was emptied in place";
    EXPECT_EQ(22 * 1440 / 96, viewTextHeight());
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

// The module the process loaded under this name, with its path; empty when it has none.
std::string loadedModule(DWORD processId, const char* name)
{
    std::string path;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module)) {
        if (lstrcmpiA(module.szModule, name) == 0)
            path = module.szExePath;
    }
    CloseHandle(snapshot);
    for (char& c : path)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return path;
}

// The manifest the program carries brings the themed controls. Wine calls every process
// aware of each monitor's scale, manifest or not, so that part of the manifest is read back
// from the shipped program by the release test instead.
TEST(ProgramManifest, TheProgramRunsWithThemedControls)
{
    // Version 6 comes from the side-by-side store, version 5 from the system folder.
    const char* const VERSION_6 = "microsoft.windows.common-controls_6595b64144ccf1df_6.0.";
    std::string controls;
    EXPECT_EQ(0u, runProgramAndClose(program(), WM_CLOSE, 0, nullptr, [&](HWND, DWORD processId) {
                  controls = loadedModule(processId, "comctl32.dll");
              }));
    EXPECT_NE(std::string::npos, controls.find(VERSION_6)) << controls;
}

}  // namespace
