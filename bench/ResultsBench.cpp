// How long a whole search takes in the program's own window, result list included:
//     bench_results ROOT QUERY
// Creates the program's main window with its search panel, points the search at ROOT (the
// file kinds and options as the program starts), types QUERY and presses the search button,
// then runs the program's message loop until the search thread has ended. Prints the time
// and the number of files listed. Needs a display (Xvfb does).
#include <windows.h>

#include <cstdio>

#include "bench/BenchSupport.h"
#include "bench/ProgramWindow.h"
#include "panel/ResultList.h"
#include "panel/SearchPanel.h"
#include "panel/SearchThread.h"
#include "resources/resource.h"
#include "search/DirectoryCursor.h"
#include "search/SearchState.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_results ROOT QUERY\n");
        return 2;
    }
    char root[PATH_CAPACITY];
    toWindowsPath(root, sizeof root, argv[1]);

    if (!openProgramWindow("bench_results"))
        return 1;
    searchRoot.setPath(root);
    SendMessageA(panelControls.searchString, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
    handlePendingMessages();

    Stopwatch clock;
    SendMessageA(panelWindow, WM_COMMAND, MAKEWPARAM(IDC_SEARCH, BN_CLICKED),
                 reinterpret_cast<LPARAM>(panelControls.searchButton));
    while (searchThreadsAlive() != 0) {
        handlePendingMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    double seconds = clock.seconds();

    std::printf("seconds=%.6f files=%d\n", seconds, resultList.resultCount);
    closeProgramWindow();
    return 0;
}
