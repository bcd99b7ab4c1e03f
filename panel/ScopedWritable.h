// Lifts a read-only edit control's read-only state for as long as it lives, so the program
// can change its text while the user cannot.
#pragma once
#include <windows.h>

class ScopedWritable {
public:
    explicit ScopedWritable(HWND control) : control(control) { SendMessageA(control, EM_SETREADONLY, FALSE, 0); }
    ~ScopedWritable() { SendMessageA(control, EM_SETREADONLY, TRUE, 0); }
    ScopedWritable(const ScopedWritable&) = delete;
    ScopedWritable& operator=(const ScopedWritable&) = delete;

private:
    HWND control;
};
