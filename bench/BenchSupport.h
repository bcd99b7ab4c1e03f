// What every benchmark program shares: a clock, the process's working set, and one
// line of "key=value" results that tools/bench.py reads.
#pragma once
#include <cstdio>
#include <windows.h>

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&started); }
    double seconds() const
    {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return double(now.QuadPart - started.QuadPart) / double(frequency.QuadPart);
    }

private:
    LARGE_INTEGER started;
};

// This process's working set now and at its peak, in KiB; 0 when the platform cannot tell.
unsigned long long workingSetKiB();
unsigned long long peakWorkingSetKiB();

// Turns a path as the shell gives it into one the program can open: a Linux path (starting
// with '/') becomes the same path on drive Z:, which Wine maps to the Linux root.
void toWindowsPath(char* dst, size_t cap, const char* src);

// Sets the search string the way the search thread leaves it before a search that ignores
// case: the code page's word table in place, as at start-up, and the text copied into queryText, as
// much as fits, and folded.
void setLoweredQuery(const char* text);

// Folds a path into a running FNV-1a hash, so two runs can be compared by one number.
unsigned long long hashText(unsigned long long hash, const char* text);
const unsigned long long HASH_START = 1469598103934665603ull;
