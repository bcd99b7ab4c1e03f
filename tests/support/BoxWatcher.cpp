#include "support/BoxWatcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace {

enum class Mode { Guard, Record, LeaveAlone };

std::mutex stateLock;
Mode mode = Mode::Guard;
int recordAnswer = IDOK;
std::vector<ShownBox> recorded;
std::atomic<int> unexpected{0};

std::string windowText(HWND window)
{
    char text[1024];
    int n = GetWindowTextA(window, text, sizeof text);
    return std::string(text, n > 0 ? static_cast<std::size_t>(n) : 0);
}

BOOL CALLBACK collectStatic(HWND child, LPARAM lParam)
{
    char className[32];
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        std::string text = windowText(child);
        if (!text.empty()) {
            auto* out = reinterpret_cast<std::string*>(lParam);
            if (!out->empty())
                *out += " | ";
            *out += text;
        }
    }
    return TRUE;
}

ShownBox describe(HWND box)
{
    ShownBox shown;
    shown.caption = windowText(box);
    shown.threadId = GetWindowThreadProcessId(box, nullptr);
    shown.owner = GetWindow(box, GW_OWNER);
    // A message box keeps its message in a static control with the id 0xFFFF.
    HWND message = GetDlgItem(box, 0xFFFF);
    if (message != nullptr)
        shown.text = windowText(message);
    else
        EnumChildWindows(box, collectStatic, reinterpret_cast<LPARAM>(&shown.text));
    return shown;
}

BOOL CALLBACK visitTopLevel(HWND window, LPARAM lParam)
{
    auto* found = reinterpret_cast<std::vector<HWND>*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    char className[16];
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0)
        found->push_back(window);
    return TRUE;
}

// A box is marked once answered, so it is not answered twice while it closes. The mark goes
// with the window, so a new box that reuses a closed one's handle is still seen.
const char* const ANSWERED = "BoxWatcher.answered";

bool markAnswered(HWND box)
{
    if (GetPropA(box, ANSWERED) != nullptr)
        return false;
    SetPropA(box, ANSWERED, reinterpret_cast<HANDLE>(1));
    return true;
}

DWORD WINAPI guardThread(LPVOID)
{
    for (;;) {
        Sleep(5);
        std::vector<HWND> boxes;
        EnumWindows(visitTopLevel, reinterpret_cast<LPARAM>(&boxes));
        std::lock_guard<std::mutex> hold(stateLock);
        if (mode == Mode::LeaveAlone)
            continue;
        for (HWND box : boxes) {
            if (!markAnswered(box))
                continue;
            ShownBox shown = describe(box);
            if (mode == Mode::Record) {
                recorded.push_back(shown);
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(recordAnswer, BN_CLICKED), 0);
            } else {
                ++unexpected;
                ADD_FAILURE() << "Unexpected box \"" << shown.caption << "\": " << shown.text;
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            }
        }
    }
}

}  // namespace

BoxWatcher::BoxWatcher(int answer)
{
    std::lock_guard<std::mutex> hold(stateLock);
    mode = Mode::Record;
    recordAnswer = answer;
    recorded.clear();
}

BoxWatcher::~BoxWatcher()
{
    std::lock_guard<std::mutex> hold(stateLock);
    mode = Mode::Guard;
    recorded.clear();
}

std::vector<ShownBox> BoxWatcher::boxes() const
{
    std::lock_guard<std::mutex> hold(stateLock);
    return recorded;
}

std::size_t BoxWatcher::count() const
{
    std::lock_guard<std::mutex> hold(stateLock);
    return recorded.size();
}

bool BoxWatcher::waitForCount(std::size_t n, DWORD timeoutMs) const
{
    DWORD start = GetTickCount();
    while (count() < n) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(5);
    }
    return true;
}

DialogScope::DialogScope()
{
    std::lock_guard<std::mutex> hold(stateLock);
    mode = Mode::LeaveAlone;
}

DialogScope::~DialogScope()
{
    std::lock_guard<std::mutex> hold(stateLock);
    mode = Mode::Guard;
}

void installBoxGuard()
{
    HANDLE thread = CreateThread(nullptr, 0, guardThread, nullptr, 0, nullptr);
    if (thread != nullptr)
        CloseHandle(thread);
}

int unexpectedBoxCount()
{
    return unexpected.load();
}
