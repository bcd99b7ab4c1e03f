// Drives a running copy of the program from outside, for tools/screenshot.sh:
//   drive_search.exe search TEXT   sizes the window, types TEXT and searches; returns once
//                                  the first result is selected (exit code 0) or on timeout (1)
//   drive_search.exe close         closes the window (exit code 0 when one was found)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "resources/resource.h"

namespace {

const char* const CLASS_NAME = "Kadrel Text Search Program";

HWND waitForWindow(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowA(CLASS_NAME, nullptr);
        if (window != nullptr)
            return window;
        if (GetTickCount() - start > timeoutMs)
            return nullptr;
        Sleep(50);
    }
}

int search(HWND window, const char* text, int width, int height)
{
    MoveWindow(window, 0, 0, width, height, TRUE);
    SetForegroundWindow(window);
    HWND panel = GetWindow(window, GW_CHILD);
    HWND combo = GetDlgItem(panel, IDC_SEARCH_STRING);
    HWND list = GetDlgItem(panel, IDC_FILE_LIST);
    if (combo == nullptr || list == nullptr) {
        std::fprintf(stderr, "the search panel was not found\n");
        return 1;
    }
    SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    // The menu's "Search Files" command: the same as pressing the button.
    PostMessageA(window, WM_COMMAND, IDC_SEARCH, 0);
    // The end of a search selects the first entry of the list.
    DWORD start = GetTickCount();
    while (SendMessageA(list, LB_GETCURSEL, 0, 0) != 0) {
        if (GetTickCount() - start > 30000) {
            std::fprintf(stderr, "the search did not end\n");
            return 1;
        }
        Sleep(50);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "close") == 0) {
        HWND window = FindWindowA(CLASS_NAME, nullptr);
        if (window == nullptr)
            return 1;
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (argc < 3 || std::strcmp(argv[1], "search") != 0) {
        std::fprintf(stderr, "usage: drive_search search TEXT [WIDTH HEIGHT] | drive_search close\n");
        return 2;
    }
    HWND window = waitForWindow(30000);
    if (window == nullptr) {
        std::fprintf(stderr, "the program's window did not appear\n");
        return 1;
    }
    int width = argc >= 5 ? std::atoi(argv[3]) : 900;
    int height = argc >= 5 ? std::atoi(argv[4]) : 560;
    return search(window, argv[2], width, height);
}
