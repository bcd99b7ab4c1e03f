// The least any search of a tree must cost on this platform, timed:
//     bench_floor ROOT blocks|lines [lowered] [no-yield] [kinds=KINDS]
// Makes exactly the platform calls the walk makes and nothing else: both enumerations of
// every folder; for every file of the four kinds: open, read to the end, close; and the
// walk's yield of the processor (Sleep(0)) after every entry each pass takes. No matching.
// "blocks" reads the way the matcher counts (a binary stream, in blocks of the matcher's
// size); "lines" reads a text-mode stream a line at a time, as a line-by-line matcher would.
// Like the walk, it opens each file by the name the enumeration gives; "lowered" opens it by
// its name with the extension lower-cased instead, which on a case-sensitive file system
// makes Wine look the name up in the folder, to show what that lookup costs.
// "no-yield" leaves the yields out, to show what they cost. "kinds=htm,rtf" reads only the
// files of the kinds named, as a search with only those selected. Prints the time, the number of
// files and bytes read, and the peak working set.
#include <cstdio>
#include <cstring>

#include "bench/BenchSupport.h"
#include "search/LineMatcher.h"

namespace {

const int LINE_BYTES = 1024;
const size_t PATH_BYTES = 260;

long long filesRead = 0;
long long bytesRead = 0;
bool byLines = false;
bool lowered = false;
bool yields = true;
const char* kinds = "htm,txt,rtf,doc";
char line[LINE_BYTES];
char block[READ_BLOCK_CAPACITY];

// Whether the name ends in one of the four extensions, in any letter case. When the names
// are to be opened lowered, the extension is lower-cased in place.
bool isSearchedName(char* name)
{
    size_t n = std::strlen(name);
    if (n < 4)
        return false;
    char tail[5];
    for (int i = 0; i < 4; ++i) {
        char c = name[n - 4 + i];
        tail[i] = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    }
    tail[4] = '\0';
    bool searched = (std::strcmp(tail, ".htm") == 0 || std::strcmp(tail, ".txt") == 0 ||
                     std::strcmp(tail, ".rtf") == 0 || std::strcmp(tail, ".doc") == 0) &&
                    std::strstr(kinds, tail + 1) != nullptr;
    if (searched && lowered)
        std::memcpy(name + n - 4, tail, 4);
    return searched;
}

bool join(char* dst, const char* dir, const char* name)
{
    size_t n = std::strlen(dir);
    const char* separator = (n > 0 && dir[n - 1] == '\\') ? "" : "\\";
    return std::snprintf(dst, PATH_BYTES, "%s%s%s", dir, separator, name) < int(PATH_BYTES);
}

void readFile(const char* path)
{
    std::FILE* file = std::fopen(path, byLines ? "r" : "rb");
    if (file == nullptr)
        return;
    if (byLines) {
        while (std::fgets(line, LINE_BYTES, file) != nullptr)
            bytesRead += std::strlen(line);
    } else {
        std::size_t got;
        while ((got = std::fread(block, 1, sizeof block, file)) > 0)
            bytesRead += static_cast<long long>(got);
    }
    std::fclose(file);
    ++filesRead;
}

// The walk gives the rest of its time slice away after every entry it takes.
void yieldAfterEntry()
{
    if (yields)
        Sleep(0);
}

void visit(const char* dir)
{
    char pattern[PATH_BYTES + 4];
    std::snprintf(pattern, sizeof pattern, "%s%s*.*", dir,
                  dir[0] != '\0' && dir[std::strlen(dir) - 1] == '\\' ? "" : "\\");
    WIN32_FIND_DATAA entry;
    char path[PATH_BYTES];

    HANDLE find = FindFirstFileA(pattern, &entry);  // its first entry is "." and unused
    if (find == INVALID_HANDLE_VALUE)
        return;
    while (FindNextFileA(find, &entry)) {
        yieldAfterEntry();
        if (isSearchedName(entry.cFileName) && join(path, dir, entry.cFileName))
            readFile(path);
    }
    FindClose(find);

    find = FindFirstFileA(pattern, &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    while (FindNextFileA(find, &entry)) {
        // This pass takes directories only ("..", too, before passing it over).
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            continue;
        yieldAfterEntry();
        if (std::strcmp(entry.cFileName, "..") == 0)
            continue;
        if (join(path, dir, entry.cFileName))
            visit(path);
    }
    FindClose(find);
}

}  // namespace

int main(int argc, char** argv)
{
    bool usage = argc < 3 || (std::strcmp(argv[2], "blocks") != 0 && std::strcmp(argv[2], "lines") != 0);
    for (int i = 3; i < argc && !usage; ++i) {
        if (std::strcmp(argv[i], "lowered") == 0)
            lowered = true;
        else if (std::strcmp(argv[i], "no-yield") == 0)
            yields = false;
        else if (std::strncmp(argv[i], "kinds=", 6) == 0)
            kinds = argv[i] + 6;
        else
            usage = true;
    }
    if (usage) {
        std::fprintf(stderr, "usage: bench_floor ROOT blocks|lines [lowered] [no-yield] [kinds=KINDS]\n");
        return 2;
    }
    byLines = std::strcmp(argv[2], "lines") == 0;
    char root[PATH_BYTES];
    toWindowsPath(root, sizeof root, argv[1]);

    Stopwatch clock;
    visit(root);
    double seconds = clock.seconds();

    std::printf("seconds=%.6f files=%lld bytes=%lld peak_kib=%llu\n", seconds, filesRead, bytesRead,
                peakWorkingSetKiB());
    return 0;
}
