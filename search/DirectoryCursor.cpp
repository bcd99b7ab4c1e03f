#include "search/DirectoryCursor.h"

#include <direct.h>
#include <cstring>

#include "search/TextBuffer.h"

DirectoryCursor searchRoot;

DirectoryCursor::DirectoryCursor()
{
    path[0] = '\0';
    pattern[0] = '\0';
    std::memset(&currentEntry, 0, sizeof currentEntry);
}

bool DirectoryCursor::setPath(const char* text)
{
    if (!copyText(path, sizeof path, text))
        return false;
    rebuildPattern();
    return true;
}

bool DirectoryCursor::setToWorkingDirectory()
{
    char directory[PATH_CAPACITY];
    if (_getcwd(directory, sizeof directory) == nullptr)
        return false;
    return setPath(directory);
}

bool isDriveEntry(const char* entry)
{
    char letter = entry[0] == '.' ? entry[1] : '\0';
    bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    return isLetter && entry[2] == ':' && entry[3] == '\0';
}

bool DirectoryCursor::navigate(const char* entry)
{
    bool moved = true;
    if (std::strcmp(entry, "..") == 0) {
        // Take characters off the end until a separator has gone, never going shorter
        // than a drive root such as D:\ .
        int n = static_cast<int>(std::strlen(path));
        if (n > 3) {
            for (int i = n - 1;; --i) {
                char taken = path[i];
                path[i] = '\0';
                if (taken == '\\' || i == 3)
                    break;
            }
        }
    } else if (isDriveEntry(entry)) {
        path[0] = entry[1];
        path[1] = ':';
        path[2] = '\\';
        path[3] = '\0';
    } else {
        char child[PATH_CAPACITY];
        moved = joinPath(child, sizeof child, path, entry);
        if (moved)
            copyText(path, sizeof path, child);
    }
    rebuildPattern();
    return moved;
}

void DirectoryCursor::rebuildPattern()
{
    // path holds at most 259 characters, and pattern has room for a separator and "*.*".
    copyText(pattern, sizeof pattern, path);
    std::size_t n = std::strlen(pattern);
    if (n == 0 || pattern[n - 1] != '\\')
        appendString(pattern, sizeof pattern, "\\");
    appendString(pattern, sizeof pattern, "*.*");
}

bool DirectoryCursor::openEnumeration()
{
    findHandle.reset();
    findHandle.reset(FindFirstFileA(pattern, &currentEntry));
    firstEntryPending = findHandle.isOpen() && std::strcmp(currentEntry.cFileName, ".") != 0;
    return findHandle.isOpen();
}

char* DirectoryCursor::nextEntry()
{
    if (firstEntryPending) {
        firstEntryPending = false;
        return currentEntry.cFileName;
    }
    if (!findHandle.isOpen() || !FindNextFileA(findHandle.get(), &currentEntry))
        return nullptr;
    return currentEntry.cFileName;
}

char* DirectoryCursor::nextDirectory()
{
    for (char* name = nextEntry(); name != nullptr; name = nextEntry()) {
        if (currentEntry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return name;
    }
    return nullptr;
}
