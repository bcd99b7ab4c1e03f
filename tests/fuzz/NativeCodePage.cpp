// The native build's code page, standing in for the system's: Latin-1, where every character
// from U+0000 to U+00FF is the byte of its value and every other one is "?". Enough to check
// what the decoders hand it, which is what the sanitizers are here for.
#include "search/CodePage.h"

std::size_t unitsToAnsi(const char16_t* units, std::size_t count, char* out, std::size_t cap)
{
    if (count == 0 || cap < count)
        return 0;
    std::size_t written = 0;
    for (std::size_t i = 0; i < count; ++i) {
        char16_t unit = units[i];
        bool high = unit >= 0xD800 && unit <= 0xDBFF;
        if (high && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF)
            ++i;  // one character, held by two units
        out[written++] = unit < 0x100 ? static_cast<char>(unit) : '?';
    }
    return written;
}
