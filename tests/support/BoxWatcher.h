// Answers the message boxes and dialogs that any thread of the test process shows, so no
// test ever waits for a person.
//
// A guard runs for the whole test program (installed by the test main): a box that no test
// expects fails the running test with its caption and text, and is cancelled.
// A test that expects boxes creates a BoxWatcher: while it lives, every box is recorded and
// answered instead. A test that drives a dialog itself creates a DialogScope, and the boxes
// are left alone while it lives.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct ShownBox {
    std::string caption;
    std::string text;  // a message box's message; for other dialogs, their static texts
    DWORD threadId = 0;
    HWND owner = nullptr;
};

class BoxWatcher {
public:
    // Boxes are answered with this command (IDOK by default; IDCANCEL works for every box).
    explicit BoxWatcher(int answer = IDOK);
    ~BoxWatcher();
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    std::vector<ShownBox> boxes() const;
    std::size_t count() const;
    // Waits until at least n boxes have been recorded; false after timeoutMs.
    bool waitForCount(std::size_t n, DWORD timeoutMs) const;
};

class DialogScope {
public:
    DialogScope();
    ~DialogScope();
    DialogScope(const DialogScope&) = delete;
    DialogScope& operator=(const DialogScope&) = delete;
};

// Starts the guard thread; called once by the test main.
void installBoxGuard();
// Number of boxes the guard had to cancel because no test expected them.
int unexpectedBoxCount();
