#include "search/DirectoryCursor.h"

#include <cstddef>
#include <cstring>
#include <cwchar>

#include "search/FileNames.h"
#include "text/TextBuffer.h"
#include "text/AsciiCase.h"

DirectoryCursor searchRoot;

namespace {

// Converts wide into the ANSI code page when every character has its exact counterpart
// there. The single-byte enumeration would put "?" for a missing character, or a look-alike
// that names another file, and give no sign of either.
bool toExactAnsi(const wchar_t* wide, char* ansi, int cap)
{
    UINT codePage = GetACP();
    if (codePage == CP_UTF7)
        return WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, cap, nullptr, nullptr) > 0;
    // ASCII is the same in every other ANSI code page: most names go without a conversion,
    // which under Wine costs as much as the rest of taking the entry.
    int i = 0;
    for (; i < cap && wide[i] != L'\0' && wide[i] < 0x80; ++i)
        ansi[i] = static_cast<char>(wide[i]);
    if (i < cap && wide[i] == L'\0') {
        ansi[i] = '\0';
        return true;
    }
    if (codePage == CP_UTF8)  // holds every character; refuses the used-default flag
        return WideCharToMultiByte(CP_ACP, WC_ERR_INVALID_CHARS, wide, -1, ansi, cap, nullptr, nullptr) > 0;
    BOOL usedDefault = FALSE;
    int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, ansi, cap, nullptr, &usedDefault);
    return written > 0 && !usedDefault;
}

// A name that opens exactly this entry, and a file rather than a device: one a Windows
// path can hold as it is, exact in the code page, and no device's.
bool reachesEntry(const wchar_t* wide, char* ansi, int cap)
{
    return isUsableName(wide) && toExactAnsi(wide, ansi, cap) && !isReservedDeviceName(ansi);
}

// Whether the last four characters of a long name and of the short name that stands in for
// it are the same, in either letter case. A file's kind is told by them: the short name of
// "\u0416.html" ends in ".HTM", and must not make that file count as an ".htm" one.
bool sameLastFour(const wchar_t* longName, const char* shortName)
{
    std::size_t longLength = std::wcslen(longName);
    std::size_t shortLength = std::strlen(shortName);
    if (longLength < 4 || shortLength < 4)
        return longLength < 4 && shortLength < 4;
    for (std::size_t i = 1; i <= 4; ++i) {
        wchar_t l = longName[longLength - i];
        if (l > 0x7F || lowerAscii(static_cast<char>(l)) != lowerAscii(shortName[shortLength - i]))
            return false;
    }
    return true;
}

}  // namespace

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
    wchar_t wide[PATH_CAPACITY];
    DWORD length = GetCurrentDirectoryW(PATH_CAPACITY, wide);
    if (length == 0 || length >= PATH_CAPACITY)
        return false;
    // A folder whose name the code page cannot hold is reached by its short name, as the
    // entries of a folder are.
    char directory[PATH_CAPACITY];
    if (toExactAnsi(wide, directory, sizeof directory))
        return setPath(directory);
    wchar_t shortForm[PATH_CAPACITY];
    length = GetShortPathNameW(wide, shortForm, PATH_CAPACITY);
    if (length == 0 || length >= PATH_CAPACITY || !toExactAnsi(shortForm, directory, sizeof directory))
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

bool DirectoryCursor::takeEntry(const WIN32_FIND_DATAW& found)
{
    // Everything before the names is laid out alike in the two forms of the record.
    static_assert(offsetof(WIN32_FIND_DATAW, cFileName) == offsetof(WIN32_FIND_DATAA, cFileName),
                  "the records agree up to the names");
    std::memcpy(&currentEntry, &found, offsetof(WIN32_FIND_DATAA, cFileName));
    const int nameCap = sizeof currentEntry.cFileName;
    if (!reachesEntry(found.cFileName, currentEntry.cFileName, nameCap)) {
        if (!reachesEntry(found.cAlternateFileName, currentEntry.cFileName, nameCap))
            return false;
        bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!isFolder && !sameLastFour(found.cFileName, currentEntry.cFileName))
            return false;
    }
    currentEntry.cAlternateFileName[0] = '\0';  // nothing opens by the short name as such
    return true;
}

bool DirectoryCursor::openEnumeration()
{
    findHandle.reset();
    firstEntryPending = false;
    // The pattern is made of names that are exact in the ANSI code page, so its wide form
    // names the same folder.
    wchar_t widePattern[sizeof pattern];
    if (MultiByteToWideChar(CP_ACP, 0, pattern, -1, widePattern, sizeof pattern) == 0)
        return false;
    WIN32_FIND_DATAW found;
    findHandle.reset(FindFirstFileW(widePattern, &found));
    if (!findHandle.isOpen())
        return false;
    firstEntryPending = std::wcscmp(found.cFileName, L".") != 0 && takeEntry(found);
    return true;
}

char* DirectoryCursor::nextEntry()
{
    return advance(false);
}

char* DirectoryCursor::nextDirectory()
{
    return advance(true);
}

char* DirectoryCursor::advance(bool directoriesOnly)
{
    if (firstEntryPending) {
        firstEntryPending = false;
        if (!directoriesOnly || (currentEntry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return currentEntry.cFileName;
    }
    if (!findHandle.isOpen())
        return nullptr;
    WIN32_FIND_DATAW found;
    while (FindNextFileW(findHandle.get(), &found)) {
        // The directory pass passes a file over before its name is taken.
        if (directoriesOnly && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            continue;
        if (takeEntry(found))
            return currentEntry.cFileName;
    }
    return nullptr;
}
