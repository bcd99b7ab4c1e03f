// Owns one directory enumeration handle and closes it when replaced or destroyed.
#pragma once
#include <windows.h>

class FindHandle {
public:
    FindHandle() = default;
    ~FindHandle() { reset(); }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    HANDLE get() const { return handle; }
    bool isOpen() const { return handle != INVALID_HANDLE_VALUE; }

    // Closes the held handle, if any, and takes the new one (which may be invalid).
    void reset(HANDLE next = INVALID_HANDLE_VALUE)
    {
        if (handle != INVALID_HANDLE_VALUE)
            FindClose(handle);
        handle = next;
    }

private:
    HANDLE handle = INVALID_HANDLE_VALUE;
};
