// Runs one whole search, as the search thread starts it, on a tree and times it:
//     bench_walk ROOT QUERY [KINDS]
// The file kinds KINDS names are selected ("htm,rtf" for two; all four without it),
// subdirectories are searched and case is ignored.
// Prints the time, the number of matching files, a hash of their paths in the order the
// walk found them, and the peak working set.
#include <cstdio>
#include <cstring>

#include "bench/BenchSupport.h"
#include "platform/CodePageLetters.h"
#include "search/SearchState.h"
#include "search/TreeWalker.h"
#include "match/WordRules.h"

namespace {

class CountingSink : public ResultSink {
public:
    void add(const char* path, const char*) override
    {
        ++files;
        hash = hashText(hash, path);
    }
    int files = 0;
    unsigned long long hash = HASH_START;
};

CountingSink sink;
TreeWalker walker(sink);

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: bench_walk ROOT QUERY [KINDS]\n");
        return 2;
    }
    char root[PATH_CAPACITY];
    toWindowsPath(root, sizeof root, argv[1]);
    std::snprintf(queryText, sizeof queryText, "%s", argv[2]);

    const char* kinds = argc == 4 ? argv[3] : "htm,txt,rtf,doc";
    fileTypeSet.htm = std::strstr(kinds, "htm") != nullptr;
    fileTypeSet.txt = std::strstr(kinds, "txt") != nullptr;
    fileTypeSet.rtf = std::strstr(kinds, "rtf") != nullptr;
    fileTypeSet.doc = std::strstr(kinds, "doc") != nullptr;
    searchOptions.caseSensitive = 0;
    searchOptions.wholeWordsOnly = 0;
    searchActive = 1;
    wordTable = systemWordTable();

    Stopwatch clock;
    foldInPlace(queryText);
    walker.searchDirectory(root, queryText, 1);
    double seconds = clock.seconds();

    std::printf("seconds=%.6f files=%d hash=%016llx peak_kib=%llu\n", seconds, sink.files, sink.hash,
                peakWorkingSetKiB());
    return 0;
}
