// Drives a modal dialog from a helper thread while the test's own thread runs it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Opens a modal dialog with `open` on this thread (open returns when the dialog ends) and,
// meanwhile, runs `script` on a helper thread with the dialog once it is visible. A dialog
// still open after the script is cancelled. Returns false when no dialog with the caption
// appeared. Message boxes are left alone meanwhile, so the file dialog can be answered too.
bool driveDialog(const char* caption, const std::function<void()>& open,
                 const std::function<void(HWND dialog)>& script);

// The visible dialog of this process with this caption, once it appears; null after timeoutMs.
HWND waitForDialog(const char* caption, DWORD timeoutMs = 20000);
// Whether window was destroyed within timeoutMs.
bool waitUntilGone(HWND window, DWORD timeoutMs = 20000);

// WM_COMMAND for a control as a click on it would send it; waits until the dialog handled it.
void sendCommand(HWND dialog, int id, int code = BN_CLICKED);
// The same, posted: for commands that open a modal dialog of their own.
void postCommand(HWND dialog, int id, int code = BN_CLICKED);

std::string windowText(HWND window);
void setWindowText(HWND window, const std::string& text);
std::vector<std::string> listEntries(HWND list);
