// A stand-in for a code page of two-byte characters (932 as far as the tests of the readers
// of text need it): bytes 0x81-0x9F lead a pair, which becomes U+4E00 plus its second byte;
// ASCII is itself, and any other single byte is unknown. No other page is known.
#pragma once
#include <cstddef>

#include "text/CodePage.h"

class TwoBytePage final : public CodePage {
public:
    std::size_t toAnsi(const char16_t*, std::size_t, char*, std::size_t) const override { return 0; }

    std::size_t toUnits(unsigned page, const char* bytes, std::size_t count, char16_t* out,
                        std::size_t cap) const override
    {
        if (!knows(page) || count == 0 || cap < count)
            return 0;
        std::size_t written = 0;
        for (std::size_t i = 0; i < count; ++i) {
            unsigned char byte = static_cast<unsigned char>(bytes[i]);
            if (byte < 0x80) {
                out[written++] = byte;
            } else if (isLeadByte(page, byte) && i + 1 < count) {
                out[written++] = static_cast<char16_t>(0x4E00 + static_cast<unsigned char>(bytes[++i]));
            } else {
                return 0;
            }
        }
        return written;
    }

    bool isLeadByte(unsigned page, unsigned char byte) const override
    {
        return knows(page) && byte >= 0x81 && byte <= 0x9F;
    }

    bool knows(unsigned page) const override { return page == 932; }
};
