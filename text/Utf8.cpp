#include "text/Utf8.h"

#include <cstdint>
#include <cstring>

#include "text/ProcessorFeatures.h"

#ifdef KADREL_SSE2
#include <emmintrin.h>
#endif

int utf8Sequence(const unsigned char* bytes, std::size_t available, char32_t* code)
{
    unsigned char lead = bytes[0];
    int length;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    char32_t value = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        if (static_cast<std::size_t>(k) >= available)
            return NEED_MORE;
        unsigned char next = bytes[k];
        if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF))
            return 0;
        value = (value << 6) | (next & 0x3F);
    }
    *code = value;
    return length;
}

bool isUtf8Text(const unsigned char* bytes, std::size_t length)
{
    bool beyondAscii = false;
    for (std::size_t i = 0; i < length;) {
        if (bytes[i] < 0x80) {
            ++i;
            continue;
        }
        char32_t code;
        int sequence = utf8Sequence(bytes + i, length - i, &code);
        if (sequence == NEED_MORE)
            return beyondAscii;  // what is cut off is the next block's, or a broken end
        if (sequence == 0)
            return false;
        beyondAscii = true;
        i += static_cast<std::size_t>(sequence);
    }
    return beyondAscii;
}

std::size_t asciiPrefix(const char* bytes, std::size_t length)
{
    // Sixty-four bytes at a time, then eight: every ASCII file is looked through whole before
    // it is counted.
    std::size_t i = 0;
#ifdef KADREL_SSE2
    for (; i + 64 <= length; i += 64) {
        const __m128i* at = reinterpret_cast<const __m128i*>(bytes + i);
        __m128i any = _mm_or_si128(_mm_or_si128(_mm_loadu_si128(at), _mm_loadu_si128(at + 1)),
                                   _mm_or_si128(_mm_loadu_si128(at + 2), _mm_loadu_si128(at + 3)));
        if (_mm_movemask_epi8(any) != 0)
            break;
    }
#endif
    const std::uint64_t highBits = 0x8080808080808080u;
    for (; i + 8 <= length; i += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, bytes + i, 8);
        if (eight & highBits)
            break;
    }
    while (i < length && static_cast<unsigned char>(bytes[i]) < 0x80)
        ++i;
    return i;
}
