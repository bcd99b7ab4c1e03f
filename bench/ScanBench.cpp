// The matcher's own speed on one large file, without rendering:
//     bench_scan FILE QUERY RUNS
// Scans FILE RUNS times, as the walker does (render off, case ignored, parts of words
// matching), and prints each run's time, the file's size and the match count.
#include <cstdio>

#include "bench/BenchSupport.h"
#include "search/LineMatcher.h"
#include "search/SearchState.h"
#include "match/WordRules.h"

namespace {
LineMatcher matcher;
}

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_scan FILE QUERY RUNS\n");
        return 2;
    }
    char path[PATH_CAPACITY];
    toWindowsPath(path, sizeof path, argv[1]);
    setLoweredQuery(argv[2]);
    int runs = std::atoi(argv[3]);

    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &attributes)) {
        std::fprintf(stderr, "bench_scan: cannot find %s\n", path);
        return 1;
    }
    unsigned long long bytes =
        (static_cast<unsigned long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;

    std::printf("bytes=%llu", bytes);
    int count = 0;
    for (int run = 0; run < runs; ++run) {
        Stopwatch clock;
        count = matcher.scanFile(path, queryText, 0);
        std::printf(" seconds=%.6f", clock.seconds());
    }
    std::printf(" matches=%d\n", count);
    return 0;
}
