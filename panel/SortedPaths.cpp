#include "panel/SortedPaths.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

int SortedPaths::place(const char* path)
{
    // A sort key is a string of nonzero bytes and a terminator, ordered as CompareString
    // orders the texts. One that does not fit (far longer than any path) is the path itself.
    char key[4096];
    if (LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, path, -1, key, sizeof key) == 0)
        std::snprintf(key, sizeof key, "%s", path);
    keys.emplace_back(key);
    const char* stored = keys.back().c_str();
    auto at = std::lower_bound(order.begin(), order.end(), stored,
                               [](const char* a, const char* b) { return std::strcmp(a, b) < 0; });
    at = order.insert(at, stored);
    return static_cast<int>(at - order.begin());
}

void SortedPaths::unplace(int index)
{
    order.erase(order.begin() + index);
}

void SortedPaths::clear()
{
    order.clear();
    keys.clear();
}
