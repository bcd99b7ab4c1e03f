// Drives real windows from a test: waiting while messages keep flowing, answering a modal
// dialog from a helper thread, and reading back what controls show.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Dispatches the messages already waiting for this thread, those sent by other threads too.
void pumpPending();
// Keeps dispatching until done() holds or timeoutMs has passed. Returns done().
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000);

std::string windowText(HWND window);
void setWindowText(HWND window, const std::string& text);
// A list box's items; a combo box's with CB_GETCOUNT and CB_GETLBTEXT.
std::vector<std::string> listItems(HWND control, UINT countMessage = LB_GETCOUNT, UINT textMessage = LB_GETTEXT);

// The visible dialog of this process with this caption, once it appears; null after timeoutMs.
HWND waitForDialog(const char* caption, DWORD timeoutMs = 20000);
bool waitUntilGone(HWND window, DWORD timeoutMs = 20000);

// Opens a modal dialog with `open` on this thread (open returns when the dialog ends) and,
// meanwhile, runs `script` on a helper thread with the dialog once it is visible. A dialog
// still open after the script is cancelled. Returns false when no dialog with the caption
// appeared. Message boxes are left alone meanwhile, so a file dialog can be answered too.
bool driveDialog(const char* caption, const std::function<void()>& open,
                 const std::function<void(HWND dialog)>& script);

// WM_COMMAND as a click on the control sends it; returns once the dialog has handled it.
void sendCommand(HWND dialog, int id, int code = BN_CLICKED);
// The same, posted: for commands that open a modal dialog of their own.
void postCommand(HWND dialog, int id, int code = BN_CLICKED);
