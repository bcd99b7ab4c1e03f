// The three toggles of the Options menu, which the matching reads as it goes. Each flag is
// an atomic int, read and written whole, so that a toggle made while a search runs is seen
// by the search thread without locks.
#pragma once
#include <atomic>

// Each holds 0 or 1.
struct SearchOptions {
    std::atomic<int> caseSensitive{0};
    std::atomic<int> wholeWordsOnly{0};
    std::atomic<int> searchSubdirectories{1};
};

extern SearchOptions searchOptions;
