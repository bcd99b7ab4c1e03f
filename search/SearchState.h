// The records the user-interface thread and the search thread share. They are read and
// written whole, without locks: each flag is an atomic int so neither thread can cache it.
#pragma once
#include <atomic>
#include <cstddef>

#include "match/SearchOptions.h"

// Which of the four file kinds the walk looks into, one flag per extension.
struct FileTypeSet {
    std::atomic<int> htm{1};
    std::atomic<int> txt{1};
    std::atomic<int> rtf{0};
    std::atomic<int> doc{0};
};

const std::size_t QUERY_CAPACITY = 1024;  // the search string and its terminator
const std::size_t PATH_CAPACITY = 260;    // a path of at most 259 characters and its terminator

extern FileTypeSet fileTypeSet;
// The search string, at most 1023 characters, lower-cased when the search ignores case.
// Written only by the window's thread, and only while no search thread exists.
extern char queryText[QUERY_CAPACITY];
// Nonzero while a search runs; clearing it is the only way to stop the walk.
extern std::atomic<int> searchActive;

// Flips an option flag the way the menu does: 0 becomes 1, anything else becomes 0.
// Returns the new value.
int toggleFlag(std::atomic<int>& flag);
