#include "support/WindowDriver.h"

#include <string>
#include <thread>

#include "support/BoxWatcher.h"

namespace {

bool isDialog(HWND window)
{
    char className[16];
    GetClassNameA(window, className, sizeof className);
    return lstrcmpA(className, "#32770") == 0;
}

struct Search {
    const char* caption;
    HWND found;
};

BOOL CALLBACK matchDialog(HWND window, LPARAM lParam)
{
    auto* search = static_cast<Search*>(reinterpret_cast<void*>(lParam));
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window) || !isDialog(window) ||
        windowText(window) != search->caption)
        return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK cancelDialog(HWND window, LPARAM)
{
    if (isDialog(window))
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return TRUE;
}

}  // namespace

void pumpPending()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;  // a test's main window was destroyed; the tests go on
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        pumpPending();
    }
    return true;
}

std::string windowText(HWND window)
{
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

void setWindowText(HWND window, const std::string& text)
{
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::vector<std::string> listItems(HWND control, UINT countMessage, UINT textMessage)
{
    // The themed list and combo box keep their items as wide text; Wine's translation of the
    // single-byte LB_GETTEXT and CB_GETLBTEXT for them overruns its own buffer on an item of
    // 1023 characters. The wide message, sized by the length message that follows it, is
    // what they answer natively.
    UINT lengthMessage = textMessage == CB_GETLBTEXT ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    std::vector<std::string> items;
    auto count = static_cast<int>(SendMessageW(control, countMessage, 0, 0));
    for (int i = 0; i < count; ++i) {
        LRESULT length = SendMessageW(control, lengthMessage, static_cast<WPARAM>(i), 0);
        std::wstring wide(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        SendMessageW(control, textMessage, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&wide[0]));
        char item[4096] = "";  // longer than any item the tests make
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, item, sizeof item, nullptr, nullptr);
        items.push_back(item);
    }
    return items;
}

HWND waitForDialog(const char* caption, DWORD timeoutMs)
{
    Search search{caption, nullptr};
    pumpUntil(
        [&] {
            EnumWindows(matchDialog, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

bool waitUntilGone(HWND window, DWORD timeoutMs)
{
    return pumpUntil([&] { return !IsWindow(window); }, timeoutMs);
}

bool driveDialog(const char* caption, const std::function<void()>& open, const std::function<void(HWND dialog)>& script)
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
            EnumThreadWindows(ownThread, cancelDialog, 0);
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
