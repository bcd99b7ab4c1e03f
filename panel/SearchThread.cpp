#include "panel/SearchThread.h"

#include "platform/Beep.h"
#include "panel/MatchView.h"
#include "panel/PanelWindow.h"
#include "panel/ResultList.h"
#include "search/DirectoryCursor.h"
#include "platform/ErrorBox.h"
#include "search/SearchState.h"
#include "text/TextBuffer.h"
#include "search/TreeWalker.h"

std::atomic<HANDLE> searchThreadHandle{nullptr};
TreeWalker rootWalker(resultList);

namespace {

std::atomic<int> threadsAlive{0};
std::atomic<int> mostThreadsAlive{0};

// The search root as it was when the search started. The directory picker may move
// searchRoot on the window's thread at any time, so the thread never reads it directly.
char startPath[PATH_CAPACITY];

void countThreadIn()
{
    int alive = threadsAlive.fetch_add(1) + 1;
    int most = mostThreadsAlive.load();
    while (alive > most && !mostThreadsAlive.compare_exchange_weak(most, alive)) {
    }
}

}  // namespace

int searchThreadsAlive()
{
    return threadsAlive.load();
}

int mostSearchThreadsAlive()
{
    return mostThreadsAlive.load();
}

void resetMostSearchThreadsAlive()
{
    mostThreadsAlive = threadsAlive.load();
}

int startSearchThread()
{
    copyText(startPath, sizeof startPath, searchRoot.path);
    countThreadIn();
    HANDLE thread = CreateThread(nullptr, 0, searchThreadProc, nullptr, 0, nullptr);
    searchThreadHandle = thread;
    if (thread == nullptr) {
        --threadsAlive;
        showErrorBox("Error: cannot open new thread!", "DovovoRuduru");
        return 0;
    }
    return 1;
}

// searchActive was raised by the panel before this thread existed; raising it here again
// would undo a stop pressed before the thread first ran.
DWORD WINAPI searchThreadProc(LPVOID)
{
    // This first call waits for the window's thread, which is still finishing the start
    // command, so searchThreadHandle has been stored by the time anything below reads it.
    resultList.clear();
    matchView.clearView();
    rootWalker.searchDirectory(startPath, queryText, searchOptions.searchSubdirectories.load());
    searchActive = 0;
    // The panel ends the search on its own thread; without a panel only the beep is left.
    HWND panel = panelWindow.load();
    if (panel == nullptr || !sentToPanelThread(panel, WM_SEARCH_END))
        signalBeep();
    CloseHandle(searchThreadHandle.load());
    --threadsAlive;
    return 0;
}
