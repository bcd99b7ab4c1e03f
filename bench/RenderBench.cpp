// How long the match view takes to show one file's matching lines, drawn on the screen:
//     bench_render FILE QUERY RUNS
// Creates the program's own main window, with its search panel and rich-text control, and
// renders FILE through the panel's render RUNS times (case ignored), each time until the
// control has painted and no message is left waiting. Prints each run's time, and the number
// of lines the view holds afterwards. Needs a display (Xvfb does).
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "app/MainWindow.h"
#include "app/WindowSetup.h"
#include "bench/BenchSupport.h"
#include "panel/FileRender.h"
#include "panel/MatchViewSink.h"
#include "panel/SearchPanel.h"
#include "search/SearchState.h"
#include "search/WordRules.h"

namespace {

void handlePendingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_render FILE QUERY RUNS\n");
        return 2;
    }
    char path[PATH_CAPACITY];
    toWindowsPath(path, sizeof path, argv[1]);
    setLoweredQuery(argv[2]);
    int runs = std::atoi(argv[3]);

    appInstance = GetModuleHandleA(nullptr);
    windowSetup.showCommand = SW_SHOWNORMAL;
    if (registerMainClass() == 0) {
        std::fprintf(stderr, "bench_render: cannot register the main window's class\n");
        return 1;
    }
    createMainWindow();
    if (MainWindow == nullptr || panelWindow.load() == nullptr) {
        std::fprintf(stderr, "bench_render: cannot create the main window and its panel\n");
        return 1;
    }
    handlePendingMessages();

    int count = 0;
    for (int run = 0; run < runs; ++run) {
        // Emptying the view of the previous run's lines is timed on its own, the way a render
        // of the next file the user selects begins: the render timed after it starts empty.
        Stopwatch clearing;
        matchViewSink.clearView();
        matchViewSink.finishView();
        UpdateWindow(panelControls.matchView);
        handlePendingMessages();
        double cleared = clearing.seconds();
        Stopwatch clock;
        fileRender.start(path, queryText);
        while (fileRender.running()) {
            WaitMessage();
            handlePendingMessages();
        }
        count = fileRender.matchCount;
        UpdateWindow(panelControls.matchView);
        handlePendingMessages();
        std::printf("seconds=%.6f clear_seconds=%.6f ", clock.seconds(), cleared);
    }
    LRESULT lines = SendMessageA(panelControls.matchView, EM_GETLINECOUNT, 0, 0);
    std::printf("matches=%d lines=%ld\n", count, static_cast<long>(lines));
    DestroyWindow(MainWindow);
    handlePendingMessages();
    return count > 0 ? 0 : 1;
}
