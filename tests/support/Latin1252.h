// A stand-in for the system's code pages where the tests run without Windows: the program's
// ANSI code page is 1252, and of the other pages only 1252, 28591 (ISO 8859-1) and 65001
// (UTF-8) are known. Enough to check what the readers of text hand on.
#pragma once
#include <cstddef>

#include "text/CodePage.h"

class Latin1252 final : public CodePage {
public:
    std::size_t toAnsi(const char16_t* units, std::size_t count, char* out, std::size_t cap) const override
    {
        if (count == 0 || cap < count)
            return 0;
        std::size_t written = 0;
        for (std::size_t i = 0; i < count; ++i) {
            char16_t unit = units[i];
            bool high = unit >= 0xD800 && unit <= 0xDBFF;
            if (high && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
                ++i;  // one character, held by two units, which 1252 lacks
                out[written++] = '?';
                continue;
            }
            out[written++] = static_cast<char>(byteOf(unit));
        }
        return written;
    }

    std::size_t toUnits(unsigned page, const char* bytes, std::size_t count, char16_t* out,
                        std::size_t cap) const override
    {
        if (!knows(page) || count == 0 || cap < count)
            return 0;
        std::size_t written = 0;
        for (std::size_t i = 0; i < count; ++i) {
            unsigned char byte = static_cast<unsigned char>(bytes[i]);
            if (page == 65001) {
                written += utf8Unit(bytes, count, &i, out + written);
                continue;
            }
            bool windows = page != 28591 && byte >= 0x80 && byte < 0xA0;
            out[written++] = windows ? HIGH_CONTROLS[byte - 0x80] : static_cast<char16_t>(byte);
        }
        return written;
    }

    bool isLeadByte(unsigned, unsigned char) const override { return false; }

    bool ansiHasLeadBytes() const override { return false; }

    bool knows(unsigned page) const override { return page == ANSI || page == 1252 || page == 28591 || page == 65001; }

private:
    // Characters 0x80 to 0x9F of code page 1252; 0xFFFD where the page has none.
    static constexpr char16_t HIGH_CONTROLS[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                                   0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

    static unsigned char byteOf(char16_t unit)
    {
        if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
            return static_cast<unsigned char>(unit);
        for (int k = 0; k < 32; ++k) {
            if (HIGH_CONTROLS[k] == unit && unit != 0xFFFD)
                return static_cast<unsigned char>(0x80 + k);
        }
        return '?';
    }

    // One character of UTF-8 at bytes[*i] as a unit (U+FFFD for a broken or astral one);
    // leaves *i on its last byte.
    static std::size_t utf8Unit(const char* bytes, std::size_t count, std::size_t* i, char16_t* out)
    {
        unsigned char lead = static_cast<unsigned char>(bytes[*i]);
        int length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : 0;
        if (length == 0 || *i + length > count) {
            *out = lead < 0x80 ? lead : 0xFFFD;
            return 1;
        }
        char16_t value = static_cast<char16_t>(lead & (0x7F >> length));
        for (int k = 1; k < length; ++k)
            value = static_cast<char16_t>(value << 6 | (static_cast<unsigned char>(bytes[*i + k]) & 0x3F));
        *i += length - 1;
        *out = value;
        return 1;
    }
};
