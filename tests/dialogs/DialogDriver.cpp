#include "DialogDriver.h"

#include <cstring>

#include <thread>

#include "support/BoxWatcher.h"

namespace {

struct Search {
    const char* caption;
    HWND found;
};

BOOL CALLBACK matchDialog(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    char className[16];
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0 || windowText(window) != search->caption)
        return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK cancelThreadDialog(HWND window, LPARAM)
{
    char className[16];
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0)
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return TRUE;
}

} // namespace

HWND waitForDialog(const char* caption, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        Search search{caption, nullptr};
        EnumWindows(matchDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr)
            return search.found;
        if (GetTickCount() - start > timeoutMs)
            return nullptr;
        Sleep(10);
    }
}

bool waitUntilGone(HWND window, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

bool driveDialog(const char* caption, const std::function<void()>& open,
                 const std::function<void(HWND dialog)>& script)
{
    DialogScope leaveDialogsAlone;
    DWORD ownThread = GetCurrentThreadId();
    bool found = false;
    std::thread helper([&] {
        HWND dialog = waitForDialog(caption);
        found = dialog != nullptr;
        if (found) {
            script(dialog);
            if (IsWindow(dialog))
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        } else {
            // Whatever did open must not keep the test waiting.
            EnumThreadWindows(ownThread, cancelThreadDialog, 0);
        }
    });
    open();
    helper.join();
    return found;
}

void sendCommand(HWND dialog, int id, int code)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void postCommand(HWND dialog, int id, int code)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string windowText(HWND window)
{
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    int copied = GetWindowTextA(window, &text[0], static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void setWindowText(HWND window, const std::string& text)
{
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::vector<std::string> listEntries(HWND list)
{
    std::vector<std::string> entries;
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
        text.resize(std::strlen(text.c_str()));
        entries.push_back(text);
    }
    return entries;
}
