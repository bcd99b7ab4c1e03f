// Where each path goes in the sorted result list. The list box finds a new item's place
// itself, but Wine's box compares strings through the locale's collation for each step of
// its search, which tens of thousands of results make the biggest cost of a search. The
// same order comes from each path's sort key, made once, compared byte by byte.
#pragma once
#include <deque>
#include <string>
#include <vector>

class SortedPaths {
public:
    // Takes path in, and returns the index it has in the order the list box keeps (the
    // user's locale, letter case ignored): before any entry that compares equal to it.
    int place(const char* path);
    // Takes back the path last placed at index, which the list did not take after all.
    void unplace(int index);
    void clear();

private:
    std::deque<std::string> keys;    // never moved, so order can point into it
    std::vector<const char*> order;  // keys in the list's order
};
