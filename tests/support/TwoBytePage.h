// A stand-in for the system's code pages where the program's ANSI code page (also known as
// 932) has characters of two bytes, as the East Asian ones do: bytes 0x81 to 0x9F start a
// character of two, whose unit here is 0x3000 + the second byte. Handed half a character, it
// says so in halfConverted, where the system's conversion would give garbage.
#pragma once
#include <cstddef>

#include "text/CodePage.h"

class TwoBytePage final : public CodePage {
public:
    std::size_t toAnsi(const char16_t*, std::size_t, char*, std::size_t) const override { return 0; }

    std::size_t toUnits(unsigned page, const char* bytes, std::size_t count, char16_t* out,
                        std::size_t cap) const override
    {
        std::size_t written = 0;
        for (std::size_t i = 0; i < count && knows(page) && written < cap; ++i) {
            unsigned char byte = static_cast<unsigned char>(bytes[i]);
            if (!isLeadByte(page, byte)) {
                out[written++] = byte;
            } else if (++i < count) {
                out[written++] = static_cast<char16_t>(0x3000 + static_cast<unsigned char>(bytes[i]));
            } else {
                halfConverted = true;
            }
        }
        return written;
    }

    bool isLeadByte(unsigned page, unsigned char byte) const override
    {
        return knows(page) && byte >= 0x81 && byte <= 0x9F;
    }

    bool ansiHasLeadBytes() const override { return true; }

    bool knows(unsigned page) const override { return page == ANSI || page == 932; }

    mutable bool halfConverted = false;
};
