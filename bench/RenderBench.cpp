// How long the match view takes to show one file's matching lines, drawn on the screen, and
// how the window answers meanwhile:
//     bench_render render FILE QUERY RUNS
//     bench_render next FILE SMALL QUERY RUNS
// Creates the program's own main window, with its search panel and rich-text control, and
// renders through the panel's render as a selection does, handling messages as the
// program's loop does until the render is done and painted. "render" renders FILE RUNS times
// (case ignored) and prints, for each run, its time, the time until the view first painted
// text, the longest a message sent from another thread waited for an answer, and the time
// the view took to empty itself of the run before. "next" renders FILE untimed, then times
// selecting SMALL after it, RUNS times. Both print the lines the view holds, the peak
// working set and how far it rose above what it was before the first render. Needs a
// display (Xvfb does).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/MainWindow.h"
#include "platform/ErrorBox.h"
#include "bench/BenchSupport.h"
#include "bench/ProgramWindow.h"
#include "panel/FileRender.h"
#include "panel/MatchView.h"
#include "panel/SearchPanel.h"
#include "search/SearchState.h"

namespace {

// Sends the main window a message from another thread every few milliseconds while
// `probing` is set, and keeps the longest time one took to be answered.
volatile LONG probing = 0;
volatile LONG probeEnd = 0;
double longestWait = 0;

DWORD WINAPI probeWindow(LPVOID)
{
    while (probeEnd == 0) {
        if (probing == 0) {
            Sleep(1);
            continue;
        }
        Stopwatch wait;
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(MainWindow, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer);
        double seconds = wait.seconds();
        if (seconds > longestWait)
            longestWait = seconds;
        Sleep(2);
    }
    return 0;
}

struct Timing {
    double total;
    double firstPaint;  // -1 when the view never painted text
};

// Selects path as the panel does and runs the program's message loop until the render is
// done and nothing is left to paint.
Timing renderUntilPainted(const char* path)
{
    Timing timing = {0, -1};
    Stopwatch clock;
    fileRender.start(path, queryText);
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            bool viewPaint = message.message == WM_PAINT && message.hwnd == matchView.control();
            TranslateMessage(&message);
            DispatchMessageA(&message);
            if (viewPaint && timing.firstPaint < 0 && GetWindowTextLengthA(matchView.control()) > 0)
                timing.firstPaint = clock.seconds();
        }
        if (!fileRender.running())
            break;
        WaitMessage();
    }
    UpdateWindow(matchView.control());
    handlePendingMessages();
    timing.total = clock.seconds();
    return timing;
}

}  // namespace

int main(int argc, char** argv)
{
    bool next = argc == 6 && std::strcmp(argv[1], "next") == 0;
    if (!next && !(argc == 5 && std::strcmp(argv[1], "render") == 0)) {
        std::fprintf(stderr, "usage: bench_render render FILE QUERY RUNS\n"
                             "       bench_render next FILE SMALL QUERY RUNS\n");
        return 2;
    }
    char path[PATH_CAPACITY];
    char small[PATH_CAPACITY] = "";
    toWindowsPath(path, sizeof path, argv[2]);
    if (next)
        toWindowsPath(small, sizeof small, argv[3]);
    setLoweredQuery(argv[next ? 4 : 3]);
    int runs = std::atoi(argv[next ? 5 : 4]);

    if (!openProgramWindow("bench_render"))
        return 1;
    HANDLE probe = CreateThread(nullptr, 0, probeWindow, nullptr, 0, nullptr);
    unsigned long long before = workingSetKiB();

    for (int run = 0; run < runs; ++run) {
        if (next) {
            renderUntilPainted(path);
            Timing timing = renderUntilPainted(small);
            std::printf("next_seconds=%.6f ", timing.total);
            continue;
        }
        // Emptying the view of the previous run's lines is timed on its own, the way a render
        // of the next file the user selects begins: the render timed after it starts empty.
        Stopwatch clearing;
        matchView.clearView();
        matchView.flush();
        UpdateWindow(matchView.control());
        handlePendingMessages();
        double cleared = clearing.seconds();
        longestWait = 0;
        probing = 1;
        Timing timing = renderUntilPainted(path);
        probing = 0;
        Sleep(10);  // lets the last probe come back
        std::printf("seconds=%.6f first_paint=%.6f longest_wait=%.6f clear_seconds=%.6f ", timing.total,
                    timing.firstPaint, longestWait, cleared);
    }
    probeEnd = 1;
    WaitForSingleObject(probe, INFINITE);
    CloseHandle(probe);
    LRESULT lines = SendMessageA(matchView.control(), EM_GETLINECOUNT, 0, 0);
    unsigned long long peak = peakWorkingSetKiB();
    std::printf("matches=%d lines=%ld peak_kib=%llu view_kib=%llu\n", fileRender.matchCount(), static_cast<long>(lines),
                peak, peak > before ? peak - before : 0);
    closeProgramWindow();
    return fileRender.matchCount() > 0 ? 0 : 1;
}
