#include "bench/BenchSupport.h"

#include <psapi.h>

#include "platform/CodePageLetters.h"
#include "search/SearchState.h"
#include "match/WordRules.h"

namespace {

PROCESS_MEMORY_COUNTERS memoryCounters()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        counters = {};
    return counters;
}

}  // namespace

unsigned long long workingSetKiB()
{
    return memoryCounters().WorkingSetSize / 1024;
}

unsigned long long peakWorkingSetKiB()
{
    return memoryCounters().PeakWorkingSetSize / 1024;
}

void toWindowsPath(char* dst, size_t cap, const char* src)
{
    if (cap == 0)
        return;
    size_t at = 0;
    if (src[0] == '/' && cap > 3) {
        dst[at++] = 'Z';
        dst[at++] = ':';
    }
    for (; *src != '\0' && at + 1 < cap; ++src)
        dst[at++] = *src == '/' ? '\\' : *src;
    dst[at] = '\0';
}

unsigned long long hashText(unsigned long long hash, const char* text)
{
    for (; *text != '\0'; ++text) {
        hash ^= static_cast<unsigned char>(*text);
        hash *= 1099511628211ull;
    }
    // A separator, so "ab" then "c" differs from "a" then "bc".
    hash ^= 0xFF;
    return hash * 1099511628211ull;
}

void setLoweredQuery(const char* text)
{
    wordTable = systemWordTable();
    std::snprintf(queryText, sizeof queryText, "%s", text);
    foldInPlace(queryText);
}
