#include "text/TextBuffer.h"

#include <cstring>

std::size_t boundedLength(const char* text, std::size_t max)
{
    std::size_t n = 0;
    while (n < max && text[n] != '\0')
        ++n;
    return n;
}

bool copyText(char* dst, std::size_t cap, const char* src)
{
    if (cap == 0)
        return false;
    std::size_t n = boundedLength(src, cap);
    if (n >= cap)
        return false;
    std::memcpy(dst, src, n + 1);
    return true;
}

bool copySlice(char* dst, std::size_t cap, const char* src, std::size_t count)
{
    std::size_t n = boundedLength(src, count);
    if (n >= cap)
        return false;
    std::memcpy(dst, src, n);
    dst[n] = '\0';
    return true;
}

bool appendString(char* dst, std::size_t cap, const char* src)
{
    std::size_t used = boundedLength(dst, cap);
    if (used >= cap)
        return false;  // dst is not even terminated within its capacity
    return copyText(dst + used, cap - used, src);
}

bool joinPath(char* dst, std::size_t cap, const char* dir, const char* name)
{
    std::size_t dirLength = boundedLength(dir, cap);
    bool needSeparator = dirLength == 0 || dir[dirLength - 1] != '\\';
    std::size_t nameLength = boundedLength(name, cap);
    std::size_t total = dirLength + (needSeparator ? 1 : 0) + nameLength;
    if (total >= cap)
        return false;
    std::memmove(dst, dir, dirLength);
    std::size_t at = dirLength;
    if (needSeparator)
        dst[at++] = '\\';
    std::memcpy(dst + at, name, nameLength);
    dst[total] = '\0';
    return true;
}
