// A chain of registry keys, each created (or opened) below the one before, all closed again
// in reverse order when it goes.
#pragma once
#include <windows.h>

class ScopedKeyChain {
public:
    static const int MAX_LEVELS = 8;

    ScopedKeyChain() = default;
    ~ScopedKeyChain()
    {
        while (opened > 0)
            RegCloseKey(keys[--opened]);
    }
    ScopedKeyChain(const ScopedKeyChain&) = delete;
    ScopedKeyChain& operator=(const ScopedKeyChain&) = delete;

    // Creates the count levels below root one at a time, so missing ones are made too.
    // Returns whether all of them are open; the last is then deepest().
    bool create(HKEY root, const char* const* levels, int count)
    {
        if (count < 1 || count > MAX_LEVELS)
            return false;
        HKEY parent = root;
        while (opened < count && RegCreateKeyA(parent, levels[opened], &keys[opened]) == ERROR_SUCCESS)
            parent = keys[opened++];
        return opened == count;
    }
    HKEY deepest() const { return opened > 0 ? keys[opened - 1] : nullptr; }

private:
    HKEY keys[MAX_LEVELS] = {};
    int opened = 0;
};
