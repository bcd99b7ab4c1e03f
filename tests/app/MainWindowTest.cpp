#include "ProgramHarness.h"

#include <atomic>
#include <string>

#include "app/AboutDialog.h"
#include "app/WindowSetup.h"
#include "panel/Beep.h"
#include "panel/ResultList.h"
#include "panel/SearchPanel.h"
#include "panel/SearchThread.h"
#include "resources/resource.h"
#include "search/SearchState.h"
#include "support/BoxWatcher.h"

namespace {

const char* const CLASS_NAME = "Kadrel Text Search Program";

bool checked(UINT command)
{
    return (GetMenuState(mainMenu, command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

TEST_F(ProgramTest, StartsWithTitleOptionsAndAnEmptyResultList)
{
    EXPECT_EQ(CLASS_NAME, text(MainWindow));
    EXPECT_EQ(0, searchOptions.caseSensitive.load());
    EXPECT_EQ(0, searchOptions.wholeWordsOnly.load());
    EXPECT_EQ(1, searchOptions.searchSubdirectories.load());
    EXPECT_FALSE(checked(IDM_CASE_SENSITIVE));
    EXPECT_FALSE(checked(IDM_WHOLE_WORDS));
    EXPECT_TRUE(checked(IDM_SUBDIRECTORIES));

    EXPECT_EQ(std::vector<std::string>{"No files found"}, listEntries());
    EXPECT_EQ(LB_ERR, SendMessageA(panelControls.fileList, LB_GETCURSEL, 0, 0));
    EXPECT_EQ(0, resultList.resultCount);
    EXPECT_STREQ("No files found", resultList.selectedFile);
    EXPECT_EQ("Search for String", text(panelControls.searchButton));
    EXPECT_TRUE(viewRuns().empty());
}

TEST_F(ProgramTest, EachOptionToggledTwiceReturnsFlagAndCheckMark)
{
    struct Option {
        UINT command;
        std::atomic<int>& flag;
    };
    Option options[] = {
        {IDM_CASE_SENSITIVE, searchOptions.caseSensitive},
        {IDM_WHOLE_WORDS, searchOptions.wholeWordsOnly},
        {IDM_SUBDIRECTORIES, searchOptions.searchSubdirectories},
    };
    for (Option& option : options) {
        int start = option.flag.load();
        menu(option.command);
        EXPECT_EQ(1 - start, option.flag.load()) << option.command;
        EXPECT_EQ(start == 0, checked(option.command)) << option.command;
        // Only what a menu item sends counts: the same id with a notification code is ignored.
        SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(option.command, 1), 0);
        EXPECT_EQ(1 - start, option.flag.load()) << option.command;
        menu(option.command);
        EXPECT_EQ(start, option.flag.load()) << option.command;
        EXPECT_EQ(start != 0, checked(option.command)) << option.command;
    }
}

TEST_F(ProgramTest, MenuHandsSearchAndLaunchToThePanelOnlyWhileItExists)
{
    // With no search string and no result, both panel commands only beep.
    int before = beepCount();
    menu(IDC_SEARCH);
    menu(IDC_LAUNCH_BROWSER);
    EXPECT_EQ(before + 2, beepCount());
    EXPECT_EQ(0, searchActive.load());
    EXPECT_EQ(0, searchThreadsAlive());
    EXPECT_TRUE(history().empty());
    EXPECT_EQ("Search for String", text(panelControls.searchButton));

    SendMessageA(panelWindow, WM_COMMAND, IDCANCEL, 0);
    ASSERT_EQ(nullptr, panelWindow.load());
    menu(IDC_SEARCH);
    menu(IDC_LAUNCH_BROWSER);
    EXPECT_EQ(before + 2, beepCount());
    // With the panel gone the result list and the view leave its controls alone.
    resultList.add("C:\\nothing.txt");
    EXPECT_EQ(std::vector<std::string>{"No files found"}, listEntries());
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

// Opened without its modal loop, the box can be closed from here; closing hides it.
TEST_F(ProgramTest, AboutBoxClosesOnOkEnterEscapeAndCloseBox)
{
    DialogScope dialogs;
    for (const char* how : {"OK", "Enter", "Escape", "close box"}) {
        HWND box = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_ABOUT), MainWindow, aboutDialogProc, 0);
        ASSERT_NE(nullptr, box);
        ShowWindow(box, SW_SHOW);
        EXPECT_EQ("Kadrel Find Program V 2.1.0.1", text(FindWindowExA(box, nullptr, "Static", nullptr)));
        SendMessageA(box, WM_COMMAND, MAKEWPARAM(1234, BN_CLICKED), 0);  // nothing else closes it
        EXPECT_TRUE(IsWindowVisible(box)) << how;
        std::string way = how;
        MSG key = {};
        key.hwnd = GetDlgItem(box, IDOK);
        key.message = WM_KEYDOWN;
        key.wParam = way == "Enter" ? VK_RETURN : VK_ESCAPE;
        if (way == "OK")
            SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(key.hwnd));
        else if (way == "close box")
            SendMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            IsDialogMessageA(box, &key);
        pumpPending();  // the close box arrives as a posted command
        EXPECT_FALSE(IsWindowVisible(box)) << how;
        DestroyWindow(box);
    }
}

// Starts the real program, closes it the given way and returns its exit code.
DWORD runProgramAndClose(UINT message, WPARAM wParam)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string program = exe;
    program = program.substr(0, program.rfind('\\')) + "\\..\\KadrelSearch.exe";
    // Arguments are ignored: the program starts the same with them.
    std::string commandLine = "\"" + program + "\" /ignored argument";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "cannot start " << program;
        return 0xFFFFFFFF;
    }
    HWND window = nullptr;
    for (int i = 0; i < 3000 && window == nullptr; ++i, Sleep(10)) {
        for (HWND w = FindWindowA(CLASS_NAME, nullptr); w != nullptr;
             w = FindWindowExA(nullptr, w, CLASS_NAME, nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == process.dwProcessId)
                window = w;
        }
    }
    DWORD code = 0xFFFFFFFF;
    if (window == nullptr) {
        ADD_FAILURE() << "the program's window did not appear";
        TerminateProcess(process.hProcess, 99);
    } else {
        PostMessageA(window, message, wParam, 0);
        if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "the program did not end";
            TerminateProcess(process.hProcess, 99);
        }
        GetExitCodeProcess(process.hProcess, &code);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

TEST(ProgramExit, ExitMenuAndClosingTheWindowEndWithCodeZero)
{
    EXPECT_EQ(0u, runProgramAndClose(WM_COMMAND, IDM_EXIT)) << "File, Exit";
    EXPECT_EQ(0u, runProgramAndClose(WM_CLOSE, 0)) << "close box";
}

}  // namespace
