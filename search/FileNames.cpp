#include "search/FileNames.h"

#include <cstring>
#include <initializer_list>

#include "text/AsciiCase.h"

bool isReservedDeviceName(const char* name)
{
    // The device is named by what comes before the first dot, less any blanks before it.
    std::size_t stem = 0;
    while (name[stem] != '\0' && name[stem] != '.')
        ++stem;
    while (stem > 0 && name[stem - 1] == ' ')
        --stem;
    if (stem != 3 && stem != 4)
        return false;
    char lowered[5];
    for (std::size_t i = 0; i < stem; ++i)
        lowered[i] = lowerAscii(name[i]);
    lowered[stem] = '\0';
    if (stem == 3) {
        for (const char* device : {"con", "prn", "aux", "nul"}) {
            if (std::strcmp(lowered, device) == 0)
                return true;
        }
        return false;
    }
    bool numbered = std::strncmp(lowered, "com", 3) == 0 || std::strncmp(lowered, "lpt", 3) == 0;
    return numbered && lowered[3] >= '1' && lowered[3] <= '9';
}

bool isUsableName(const wchar_t* name)
{
    if (name[0] == L'\0')
        return false;
    if (name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0')))
        return true;  // "." and ".."
    const wchar_t* p = name;
    for (; *p != L'\0'; ++p) {
        // Asked of every character of every name a walk lists: no call into the C library.
        switch (*p) {
        case L'"':
        case L'*':
        case L'<':
        case L'>':
        case L'?':
        case L'|':
        case L'\\':
        case L'/':
        case L':':
            return false;
        default:
            if (*p < 0x20)
                return false;
        }
    }
    return p[-1] != L'.' && p[-1] != L' ';
}

std::FILE* openFile(const char* path, const char* mode)
{
    return isReservedDeviceName(lastComponent(path)) ? nullptr : std::fopen(path, mode);
}

const char* lastComponent(const char* path)
{
    const char* last = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/' || (*p == ':' && p == path + 1))
            last = p + 1;
    }
    return last;
}
