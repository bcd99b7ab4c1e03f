#include "app/ProgramHarness.h"

#include <cstdio>
#include <string>

#include "panel/ResultList.h"
#include "panel/SearchPanel.h"
#include "panel/SearchThread.h"
#include "search/DirectoryCursor.h"
#include "search/SearchState.h"

namespace {

// A window thread blocked for good cannot report anything itself: past the limit this ends
// the whole test program with a message instead of letting it hang.
DWORD WINAPI watchdog(LPVOID finished)
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
TEST_F(ProgramTest, ThousandStartStopCyclesEndIdleWithOneThreadAtATime)
{
    HANDLE finished = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE guard = CreateThread(nullptr, 0, watchdog, finished, 0, nullptr);
    TempTree tree;
    for (int i = 0; i < 12; ++i)
        tree.file("level" + std::to_string(i % 3) + "\\deeper\\file" + std::to_string(i) + ".txt",
                     "an apple\nand another apple\n");
    searchRoot.setPath(tree.root().c_str());
    typeSearchString("apple");

    for (int cycle = 0; cycle < 1000; ++cycle) {
        clickSearch();
        pumpPending();
        if (cycle % 4 != 3)  // otherwise the next cycle's click is the one that stops it
            clickSearch();
        pumpPending();
        if (cycle % 10 == 0)  // now and then a search runs to its end
            pumpUntil([] { return searchThreadsAlive() == 0; }, 5000);
        if (resultList.resultCount > 0) {
            int count = static_cast<int>(SendMessageA(panelControls.fileList, LB_GETCOUNT, 0, 0));
            selectEntry(cycle % count);
        }
    }
    // Whatever the last click left running finishes on its own.
    EXPECT_TRUE(pumpUntil([] { return searchThreadsAlive() == 0; }, 120000))
        << "the search thread never ended: a deadlock between the two threads";
    EXPECT_EQ(0, searchActive.load());
    EXPECT_EQ("Search for String", text(panelControls.searchButton));
    EXPECT_EQ(1, mostSearchThreadsAlive()) << "two search threads were alive at once";
    SetEvent(finished);
    WaitForSingleObject(guard, INFINITE);
    CloseHandle(guard);
    CloseHandle(finished);
}

}  // namespace
