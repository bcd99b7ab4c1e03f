#include "ProgramHarness.h"

#include <richedit.h>

#include <ostream>

#include "app/MainWindow.h"
#include "app/WindowSetup.h"
#include "panel/SearchPanel.h"
#include "panel/SearchThread.h"
#include "resources/resource.h"
#include "search/SearchState.h"

void pumpPending()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;  // a test's window was destroyed; the tests go on
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        pumpPending();
    }
    return true;
}

std::ostream& operator<<(std::ostream& out, const ViewRun& run)
{
    return out << "{\"" << run.text << "\", " << std::hex << run.colour << std::dec << "}";
}

void ProgramTest::SetUp()
{
    static bool registered = false;
    appInstance = GetModuleHandleA(nullptr);
    windowSetup.showCommand = SW_SHOWNORMAL;
    if (!registered) {
        ASSERT_NE(0, registerMainClass());
        registered = true;
    } else {
        // The previous test's window destroyed the menu it was given.
        mainMenu = LoadMenuA(appInstance, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    }
    searchOptions.caseSensitive = 0;
    searchOptions.wholeWordsOnly = 0;
    searchOptions.searchSubdirectories = 1;
    resetMostSearchThreadsAlive();
    createMainWindow();
    ASSERT_NE(nullptr, MainWindow);
    ASSERT_NE(nullptr, panelWindow.load());
}

void ProgramTest::TearDown()
{
    if (MainWindow != nullptr)
        DestroyWindow(MainWindow);
    MainWindow = nullptr;
    EXPECT_TRUE(pumpUntil([] { return searchThreadsAlive() == 0; })) << "the search thread did not end";
    EXPECT_EQ(nullptr, panelWindow.load());
    // Left in the queue, the quit message would end the next test's modal loops at once.
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void ProgramTest::clickSearch()
{
    LPARAM button = reinterpret_cast<LPARAM>(panelControls.searchButton);
    SendMessageA(panelWindow, WM_COMMAND, MAKEWPARAM(IDC_SEARCH, BN_CLICKED), button);
}

void ProgramTest::typeSearchString(const std::string& text)
{
    SendMessageA(panelControls.searchString, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ProgramTest::selectEntry(int index)
{
    HWND list = panelControls.fileList;
    SendMessageA(list, LB_SETCURSEL, index, 0);
    SendMessageA(panelWindow, WM_COMMAND, MAKEWPARAM(IDC_FILE_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

bool ProgramTest::waitUntilIdle()
{
    return pumpUntil([] { return searchThreadsAlive() == 0; });
}

void ProgramTest::searchFor(const std::string& text)
{
    typeSearchString(text);
    clickSearch();
    ASSERT_TRUE(waitUntilIdle()) << "the search for \"" << text << "\" did not end";
}

static std::vector<std::string> items(HWND control, UINT countMessage, UINT textMessage)
{
    std::vector<std::string> out;
    int count = static_cast<int>(SendMessageA(control, countMessage, 0, 0));
    for (int i = 0; i < count; ++i) {
        char item[1100] = "";
        SendMessageA(control, textMessage, i, reinterpret_cast<LPARAM>(item));
        out.push_back(item);
    }
    return out;
}

std::vector<std::string> ProgramTest::listEntries()
{
    return items(panelControls.fileList, LB_GETCOUNT, LB_GETTEXT);
}

std::vector<std::string> ProgramTest::history()
{
    return items(panelControls.searchString, CB_GETCOUNT, CB_GETLBTEXT);
}

std::string ProgramTest::text(HWND window)
{
    char buffer[1100] = "";
    SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

// Reads the view one character position at a time: its text and its colour there.
std::vector<ViewRun> ProgramTest::viewRuns()
{
    HWND view = panelControls.matchView;
    std::vector<ViewRun> runs;
    for (LONG at = 0;; ++at) {
        char piece[8] = "";
        TEXTRANGEA range = {{at, at + 1}, piece};
        if (SendMessageA(view, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)) <= 0)
            break;
        CHARFORMATA format = {};
        format.cbSize = sizeof format;
        SendMessageA(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range.chrg));
        SendMessageA(view, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        COLORREF colour = (format.dwEffects & CFE_AUTOCOLOR) ? 0 : format.crTextColor;
        if (runs.empty() || runs.back().colour != colour)
            runs.push_back({"", colour});
        runs.back().text += piece[0] == '\r' ? "\n" : piece;
    }
    return runs;
}
