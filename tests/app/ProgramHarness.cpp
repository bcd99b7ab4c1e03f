#include "ProgramHarness.h"

#include <richedit.h>

#include "app/MainWindow.h"
#include "app/WindowSetup.h"
#include "panel/FileRender.h"
#include "panel/MatchView.h"
#include "panel/SearchPanel.h"
#include "panel/SearchThread.h"
#include "resources/resource.h"
#include "search/SearchState.h"

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
    resetSharedState();
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
    EXPECT_TRUE(waitUntilIdle()) << "the search thread did not end";
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
    setWindowText(panelControls.searchString, text);
}

void ProgramTest::selectEntry(int index)
{
    HWND list = panelControls.fileList;
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(panelWindow, WM_COMMAND, MAKEWPARAM(IDC_FILE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    EXPECT_TRUE(pumpUntil([] { return !fileRender.running(); }, 60000)) << "the render did not end";
}

bool ProgramTest::waitUntilIdle()
{
    return pumpUntil([] { return searchThreadsAlive() == 0 && !fileRender.running(); }, 30000);
}

int ProgramTest::renderFile(const std::string& path, const char* query)
{
    if (!fileRender.start(path.c_str(), query))
        return -1;
    EXPECT_TRUE(pumpUntil([] { return !fileRender.running(); }, 60000)) << "the render did not end";
    return fileRender.matchCount();
}

void ProgramTest::searchFor(const std::string& text)
{
    typeSearchString(text);
    clickSearch();
    ASSERT_TRUE(waitUntilIdle()) << "the search for \"" << text << "\" did not end";
}

std::vector<std::string> ProgramTest::listEntries()
{
    return listItems(panelControls.fileList);
}

std::vector<std::string> ProgramTest::history()
{
    return listItems(panelControls.searchString, CB_GETCOUNT, CB_GETLBTEXT);
}

std::vector<ViewCharacter> viewCharacters()
{
    HWND view = matchView.control();
    std::vector<ViewCharacter> shown;
    for (LONG at = 0;; ++at) {
        char piece[8] = "";
        TEXTRANGEA range = {{at, at + 1}, piece};
        if (SendMessageA(view, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)) <= 0)
            break;
        ViewCharacter character = {piece[0], {}, 0};
        character.format.cbSize = sizeof character.format;
        SendMessageA(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range.chrg));
        SendMessageA(view, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&character.format));
        if (!(character.format.dwEffects & CFE_AUTOCOLOR))
            character.colour = character.format.crTextColor;
        shown.push_back(character);
    }
    CHARRANGE end = {-1, -1};
    SendMessageA(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    return shown;
}

// The view's text in runs of one colour; the control keeps a line end as a carriage return.
std::vector<TextRun> ProgramTest::viewRuns()
{
    std::vector<TextRun> runs;
    for (const ViewCharacter& character : viewCharacters()) {
        if (runs.empty() || runs.back().colour != character.colour)
            runs.push_back({"", character.colour});
        runs.back().text += character.text == '\r' ? '\n' : character.text;
    }
    return runs;
}
