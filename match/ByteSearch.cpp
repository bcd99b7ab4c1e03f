#include "match/ByteSearch.h"

#include "text/ProcessorFeatures.h"

#ifdef KADREL_SSE2
#include <emmintrin.h>
#endif

std::size_t findByte(const char* text, std::size_t length, unsigned char value)
{
    std::size_t i = 0;
#ifdef KADREL_SSE2
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(value));
    for (; i + 16 <= length; i += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted)));
        if (mask != 0)
            return i + lowestBit(mask);
    }
#endif
    for (; i < length; ++i) {
        if (static_cast<unsigned char>(text[i]) == value)
            return i;
    }
    return length;
}
