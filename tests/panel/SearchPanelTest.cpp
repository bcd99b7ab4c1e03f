#include "app/ProgramHarness.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/Beep.h"
#include "panel/MatchView.h"
#include "panel/ResultList.h"
#include "panel/SearchPanel.h"
#include "panel/SearchThread.h"
#include "resources/resource.h"
#include "search/DirectoryCursor.h"
#include "search/SearchState.h"
#include "support/BoxWatcher.h"

namespace {

using Entries = std::vector<std::string>;
const COLORREF BLUE = 0xFF0000, RED = 0x0000FF, GREY = 0x808080, AUTO = 0;

// A tree with matches at every depth, and files of kinds that are not searched.
class SearchPanelTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        tree.file("A.txt", "Apple pie\nno match here\nan apple a day\n");
        tree.file("b.txt", "the apple tree\n");
        tree.file("tart.txt", "apple tart\n");  // walked before sub, listed after it
        tree.file("none.txt", "banana\n");
        tree.file("notes.md", "apple\n");
        tree.file("sub\\c.htm", "<p>APPLE</p>\n");
        tree.file("sub\\d.rtf", "apple\n");
        tree.file("sub\\deeper\\e.txt", "pineapple\n");
        searchRoot.setPath(tree.root().c_str());
    }
    TempTree tree;
};

TEST_F(SearchPanelTest, SearchListsMatchesSortedWithTheFirstSelectedAndRendered)
{
    searchFor("apple");
    Entries expectedList = {tree.path("A.txt"), tree.path("b.txt"), tree.path("sub\\c.htm"),
                            tree.path("sub\\deeper\\e.txt"), tree.path("tart.txt")};
    EXPECT_EQ(expectedList, listEntries());
    EXPECT_EQ(0, SendMessageA(panelControls.fileList, LB_GETCURSEL, 0, 0));
    EXPECT_EQ(5, resultList.resultCount);
    EXPECT_EQ(tree.path("A.txt"), resultList.selectedFile);
    std::vector<TextRun> expected = {{"1) ", BLUE}, {"Apple", RED}, {" pie\n", AUTO},  {"3) ", BLUE},
                                     {"an ", AUTO}, {"apple", RED}, {" a day\n", AUTO}};
    EXPECT_EQ(expected, viewRuns());
    EXPECT_EQ("Search for String", windowText(panelControls.searchButton));

    selectEntry(1);
    EXPECT_EQ(tree.path("b.txt"), resultList.selectedFile);
    expected = {{"1) ", BLUE}, {"the ", AUTO}, {"apple", RED}, {" tree\n", AUTO}};
    EXPECT_EQ(expected, viewRuns());

    // An empty box only beeps: the list stays, and its files still show what was searched.
    int beeps = beepCount();
    typeSearchString("");
    clickSearch();
    EXPECT_EQ(beeps + 1, beepCount());
    EXPECT_EQ(expectedList, listEntries());
    selectEntry(4);
    expected = {{"1) ", BLUE}, {"apple", RED}, {" tart\n", AUTO}};
    EXPECT_EQ(expected, viewRuns());

    // Found first (its folder's files come before its subfolders) is not listed first: the
    // entry highlighted is the one shown and the one a launch opens.
    tree.file("sub\\deeper\\f.txt", "a tart\n");
    searchFor("tart");
    EXPECT_EQ((Entries{tree.path("sub\\deeper\\f.txt"), tree.path("tart.txt")}), listEntries());
    EXPECT_EQ(0, SendMessageA(panelControls.fileList, LB_GETCURSEL, 0, 0));
    EXPECT_EQ(tree.path("sub\\deeper\\f.txt"), resultList.selectedFile);
    expected = {{"1) ", BLUE}, {"a ", AUTO}, {"tart", RED}, {"\n", AUTO}};
    EXPECT_EQ(expected, viewRuns());
}

TEST_F(SearchPanelTest, AFileListedWithItsEndingLowerCasedShowsItsOwnText)
{
    if (GetFileAttributesA("U:\\cases") == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "the folder is made by tools/make-hostile-tree.sh";
    // CASE.TXT lies beside case.txt, which holds no needle, and 300 files F000.TXT...
    searchRoot.setPath("U:\\cases");
    searchFor("needle");
    ASSERT_EQ(301, resultList.resultCount);
    Entries listed = listEntries();
    listed.resize(2);
    EXPECT_EQ((Entries{"U:\\cases\\CASE.txt", "U:\\cases\\F000.txt"}), listed);
    const struct {
        const char* file;
        const char* tail;
    } shown[] = {{"U:\\cases\\CASE.TXT", " in CASE.TXT\n"}, {"U:\\cases\\F000.TXT", " in F000.TXT\n"}};
    for (int entry = 0; entry < 2; ++entry) {
        if (entry > 0)
            selectEntry(entry);
        EXPECT_EQ(shown[entry].file, std::string(resultList.selectedFile)) << "what Launch Browser opens";
        std::vector<TextRun> expected = {{"1) ", BLUE}, {"a ", AUTO}, {"needle", RED}, {shown[entry].tail, AUTO}};
        EXPECT_EQ(expected, viewRuns());
    }
}

// Dispatches only what other threads send this one, so the panel's timers never run, until
// done() holds; false when it still does not after a minute.
bool handleOnlySentMessagesUntil(const std::function<bool()>& done)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > 60000)
            return false;
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
    }
    return true;
}

TEST_F(SearchPanelTest, HundredsOfResultsAllArriveSortedWhetherListedOnTheWayOrAtTheEnd)
{
    // Paths long enough to overflow what the search thread gathers between two listings.
    Entries expected;
    for (int i = 0; i < 400; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "many\\q%03d_", i * 7 % 400);
        std::string relative = name + std::string(180, 'x') + ".txt";
        tree.file(relative, "a quince\n");
        expected.push_back(tree.path(relative));
    }
    std::sort(expected.begin(), expected.end());
    for (bool timersRun : {true, false}) {
        SCOPED_TRACE(timersRun ? "listed on the way" : "listed only when the buffer fills and at the end");
        typeSearchString("quince");
        clickSearch();
        if (!timersRun)
            handleOnlySentMessagesUntil([] { return searchThreadsAlive() == 0; });
        ASSERT_TRUE(waitUntilIdle());
        EXPECT_EQ(expected, listEntries());
        EXPECT_EQ(400, resultList.resultCount);
        EXPECT_EQ(0, SendMessageA(panelControls.fileList, LB_GETCURSEL, 0, 0));
        EXPECT_EQ(expected.front(), resultList.selectedFile);
    }
}

TEST_F(SearchPanelTest, ResultsTakeTheOrderASortedListBoxKeeps)
{
    // The list places each result itself; a sorted list box of the same kind is the judge.
    HWND judge = CreateWindowA("LISTBOX", "", WS_CHILD | LBS_SORT | LBS_HASSTRINGS, 0, 0, 10, 10, panelWindow, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, judge);
    resultList.clear();
    const char* const names[] = {
        "b.txt",     "A.txt",        "a-b.txt",        "ab.txt",         "a_b.txt",   "a b.txt",
        "a'c.txt",   "a.b.txt",      "A10.txt",        "a9.txt",         "Z.txt",     "\xe9t\xe9.txt",
        "e.txt",     "~tilde.txt",   "#hash.txt",      "1.txt",          "co-op.txt", "coop.htm",
        "C:\\x.txt", "C:\\x\\y.txt", "C:\\x-y\\z.txt", "C:\\X y\\Z.TXT",
    };
    for (const char* name : names) {
        resultList.add(name, name);
        SendMessageA(judge, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    EXPECT_EQ(listItems(judge), listEntries());
    DestroyWindow(judge);
}

TEST_F(SearchPanelTest, StopOrCancelOnABoxKeepsEveryFileFoundBeforeIt)
{
    // A level takes its folder's files before its subfolders, and a file held open with no
    // sharing cannot be opened: the walk waits at it until its box is answered. A stop given
    // then, or Cancel on the box, comes after the two files above it were found, the one at
    // the top first, and before the one further down; no timer runs to list them.
    tree.file("quince1.txt", "quince\n");
    tree.file("sub\\Quince2.htm", "a quince\n");
    ASSERT_TRUE(tree.lockedFile("sub\\deeper\\cannot-open.txt", "quince\n"));
    tree.file("sub\\deeper\\later\\late.txt", "quince\n");
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "Cancel on the box" : "Stop, then OK on the box");
        int beeps = beepCount();
        {
            DialogScope answeredHere;
            typeSearchString("Quince");
            clickSearch();
            HWND box = nullptr;
            ASSERT_TRUE(handleOnlySentMessagesUntil([&] {
                box = FindWindowA("#32770", "Error: cannot open selected file!");
                return box != nullptr && IsWindowVisible(box);
            }));
            // Listed while the search still runs, the first file found is the one a launch opens.
            resultList.listGathered();
            EXPECT_EQ(2, resultList.resultCount);
            EXPECT_EQ(tree.path("quince1.txt"), resultList.selectedFile);
            if (!cancel)
                clickSearch();
            sendCommand(box, cancel ? IDCANCEL : IDOK);
            ASSERT_TRUE(handleOnlySentMessagesUntil([] { return searchThreadsAlive() == 0; }));
            ASSERT_TRUE(waitUntilIdle());
        }
        EXPECT_EQ((Entries{tree.path("quince1.txt"), tree.path("sub\\Quince2.htm")}), listEntries());
        EXPECT_EQ(2, resultList.resultCount);
        EXPECT_EQ(0, SendMessageA(panelControls.fileList, LB_GETCURSEL, 0, 0));
        std::vector<TextRun> expected = {{"1) ", BLUE}, {"quince", RED}, {"\n", AUTO}};
        EXPECT_EQ(expected, viewRuns());
        EXPECT_EQ("Search for String", windowText(panelControls.searchButton));
        EXPECT_EQ("quince", windowText(panelControls.searchString));
        EXPECT_EQ(beeps + 1, beepCount());
    }
}

TEST_F(SearchPanelTest, StopAtOnceEndsWithNoFilesFoundAndAStartWhileItEndsIsRefused)
{
    int beeps = beepCount();
    typeSearchString("apple");
    clickSearch();
    EXPECT_EQ("Stop Searching", windowText(panelControls.searchButton));
    // The thread cannot have walked yet: its first step waits for this thread.
    clickSearch();
    EXPECT_EQ("Search for String", windowText(panelControls.searchButton));
    EXPECT_EQ(0, searchActive.load());

    typeSearchString("pear");
    clickSearch();
    EXPECT_EQ(beeps + 1, beepCount()) << "a start while the stopped thread is ending beeps";
    EXPECT_EQ(0, searchActive.load());
    EXPECT_EQ(Entries{"apple"}, history());

    ASSERT_TRUE(waitUntilIdle()) << "the refused start left the ending thread stuck";
    EXPECT_EQ(Entries{"No files found"}, listEntries());
    EXPECT_EQ(LB_ERR, SendMessageA(panelControls.fileList, LB_GETCURSEL, 0, 0));
    selectEntry(0);  // the notice is no file: no error box, and the view stays as it is
    EXPECT_EQ(0, resultList.resultCount);
    EXPECT_EQ((std::vector<TextRun>{{"No file selected", GREY}}), viewRuns());
    EXPECT_EQ(beeps + 2, beepCount()) << "the ending search beeps once more";
    EXPECT_EQ(1, mostSearchThreadsAlive());
    searchFor("pear");
    EXPECT_EQ((Entries{"pear", "apple"}), history());
}

TEST_F(SearchPanelTest, StopEndsASearchInsideAFileThatNeverEndsAndANewOneStartsAtOnce)
{
    if (GetFileAttributesA("U:\\endless") == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "the folder is made by tools/make-hostile-tree.sh";
    // Its zero.txt leads to a device that reads as zeros for ever: only a stop ends the search.
    searchRoot.setPath("U:\\endless");
    typeSearchString("needle");
    clickSearch();
    EXPECT_FALSE(pumpUntil([] { return searchThreadsAlive() == 0; }, 300));
    clickSearch();
    ASSERT_TRUE(pumpUntil([] { return searchThreadsAlive() == 0; }, 20000)) << "the stopped search read on";

    int beeps = beepCount();
    searchRoot.setPath(tree.root().c_str());
    searchFor("apple");
    EXPECT_EQ(beeps + 1, beepCount()) << "only the beep at the end of the new search";
    EXPECT_EQ(5, resultList.resultCount);
}

TEST_F(SearchPanelTest, HistoryKeepsNewestFirstAndReplacesTheFirstEntryBeginningWithTheText)
{
    const struct {
        const char* typed;
        Entries after;
    } steps[] = {
        {"apple", {"apple"}},          {"apple", {"apple"}},      {"apple pie", {"apple pie", "apple"}},
        {"Apple", {"Apple", "apple"}}, {"app", {"app", "apple"}}, {"zebra", {"zebra", "app", "apple"}},
    };
    for (const auto& step : steps) {
        searchFor(step.typed);
        EXPECT_EQ(step.after, history()) << "after searching for " << step.typed;
    }

    std::string longest(1024, 'x');
    searchFor(longest);
    EXPECT_EQ(1023u, std::strlen(queryText));
    EXPECT_EQ(longest.substr(0, 1023), history().front());
}

TEST_F(SearchPanelTest, IgnoringCaseLowersTheFieldButNotTheHistory)
{
    for (bool caseSensitive : {false, true}) {
        searchOptions.caseSensitive = caseSensitive ? 1 : 0;
        const char* field = caseSensitive ? "Annual Report" : "annual report";
        typeSearchString("Annual Report");
        clickSearch();
        // The thread's first step waits for this thread: nothing but the start has folded it.
        EXPECT_STREQ(field, queryText) << "the search thread must find queryText final";
        ASSERT_TRUE(waitUntilIdle());
        EXPECT_EQ(field, windowText(panelControls.searchString));
        EXPECT_STREQ(field, queryText);
        EXPECT_EQ("Annual Report", history().front());
    }
}

TEST_F(SearchPanelTest, LayoutSplitsA200By300ClientIntoTwoColumns)
{
    // The list's top in the template, in pixels, plus the border above the client area:
    // the offset from the outer edge, which the layout uses as a client coordinate.
    RECT outer, client, list = {5, 40, 145, 190};
    MapDialogRect(panelWindow, &list);
    POINT origin = {0, 0};
    ClientToScreen(panelWindow, &origin);
    GetWindowRect(panelWindow, &outer);
    GetClientRect(panelWindow, &client);
    int listTop = list.top + origin.y - outer.top;
    // The main window is resized, and the panel follows it over its whole client area.
    SIZE panelSize = {200 + (outer.right - outer.left) - client.right,
                      300 + (outer.bottom - outer.top) - client.bottom};
    for (int pass = 0; pass < 2; ++pass) {  // the second in case the narrower menu bar wrapped
        GetWindowRect(MainWindow, &outer);
        GetClientRect(MainWindow, &client);
        SetWindowPos(MainWindow, nullptr, 0, 0, panelSize.cx + (outer.right - outer.left) - client.right,
                     panelSize.cy + (outer.bottom - outer.top) - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
    }
    GetClientRect(panelWindow, &client);
    ASSERT_EQ(200, client.right);
    ASSERT_EQ(300, client.bottom);

    const struct {
        HWND control;
        int x, width;
    } columns[] = {{panelControls.fileList, 5, 95}, {matchView.control(), 110, 85}};
    for (const auto& column : columns) {
        RECT r;
        GetWindowRect(column.control, &r);
        MapWindowPoints(nullptr, panelWindow, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(column.x, r.left);
        EXPECT_EQ(column.width, r.right - r.left);
        EXPECT_EQ(listTop, r.top);
        EXPECT_EQ(295 - listTop, r.bottom - r.top);
    }
}

// A window thread blocked for good cannot report anything itself: past the limit this ends
// the whole test program with a message instead of letting it hang.
DWORD WINAPI deadlockWatchdog(LPVOID finished)
{
    if (WaitForSingleObject(finished, 240000) == WAIT_TIMEOUT) {
        std::fprintf(stderr, "DEADLOCK: the start/stop stress test did not finish in 240 s\n");
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    return 0;
}

// Starts and stops searches as fast as the messages can be sent, selecting results in
// between, and lets the search thread run only now and then.
TEST_F(SearchPanelTest, ThousandStartStopCyclesEndIdleWithOneThreadAtATime)
{
    HANDLE finished = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE watchdog = CreateThread(nullptr, 0, deadlockWatchdog, finished, 0, nullptr);
    typeSearchString("apple");
    for (int cycle = 0; cycle < 1000; ++cycle) {
        clickSearch();
        pumpPending();
        if (cycle % 4 != 3)  // otherwise the next cycle's click is the one that stops it
            clickSearch();
        pumpPending();
        if (cycle % 10 == 0)  // now and then a search runs to its end
            pumpUntil([] { return searchThreadsAlive() == 0; }, 5000);
        if (resultList.resultCount > 0)
            selectEntry(cycle % static_cast<int>(listEntries().size()));
    }
    // Whatever the last click left running finishes on its own.
    EXPECT_TRUE(pumpUntil([] { return searchThreadsAlive() == 0; }, 120000))
        << "the search thread never ended: a deadlock between the two threads";
    EXPECT_EQ(0, searchActive.load());
    EXPECT_EQ("Search for String", windowText(panelControls.searchButton));
    EXPECT_EQ(1, mostSearchThreadsAlive()) << "two search threads were alive at once";
    SetEvent(finished);
    WaitForSingleObject(watchdog, INFINITE);
    CloseHandle(watchdog);
    CloseHandle(finished);
}

}  // namespace
