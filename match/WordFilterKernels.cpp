#include "match/WordFilterKernels.h"

#include "text/ProcessorFeatures.h"
#include "match/WordFilter.h"

#ifdef KADREL_SSE2
#include <emmintrin.h>
#include <immintrin.h>

namespace {

// The 16 bytes from at, each with bits set.
inline __m128i loadWithBits(const unsigned char* at, __m128i bits)
{
    return _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)), bits);
}

inline __m128i bitsOf(unsigned char bits)
{
    return _mm_set1_epi8(static_cast<char>(bits));
}

// One query word: its first, second and last bytes at each of 16 positions.
std::size_t findOneWord(const WordFilter& filter, const unsigned char* text, std::size_t i, std::size_t last,
                        unsigned* found)
{
    const WordFilter::Probe& probe = filter.probes[0];
    const __m128i first = _mm_set1_epi8(static_cast<char>(probe.first));
    const __m128i second = _mm_set1_epi8(static_cast<char>(probe.second));
    const __m128i lastByte = _mm_set1_epi8(static_cast<char>(probe.last));
    const std::size_t offset = probe.offset;
    const std::size_t nextOffset = offset > 0 ? 1 : 0;
    const __m128i firstBits = bitsOf(filter.firstBits);
    const __m128i secondBits = bitsOf(filter.secondBits);
    const __m128i lastBits = bitsOf(filter.lastBits);
    for (; i <= last; i += 16) {
        const unsigned char* at = text + i;
        __m128i here = loadWithBits(at, firstBits);
        __m128i next = loadWithBits(at + nextOffset, secondBits);
        __m128i ahead = loadWithBits(at + offset, lastBits);
        __m128i hits = _mm_and_si128(_mm_cmpeq_epi8(here, first),
                                     _mm_and_si128(_mm_cmpeq_epi8(next, second), _mm_cmpeq_epi8(ahead, lastByte)));
        unsigned hitMask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (hitMask != 0) {
            *found = hitMask;
            return i;
        }
    }
    *found = 0;
    return i;
}

// Several query words without SSSE3: the first, second and last bytes of each.
std::size_t findWordBytes(const WordFilter& filter, const unsigned char* text, std::size_t i, std::size_t last,
                          unsigned* found)
{
    __m128i firsts[WordFilter::MAX_PROBES];
    __m128i seconds[WordFilter::MAX_PROBES];
    __m128i lasts[WordFilter::MAX_PROBES];
    const int count = filter.probeCount;
    for (int k = 0; k < count; ++k) {
        firsts[k] = _mm_set1_epi8(static_cast<char>(filter.probes[k].first));
        seconds[k] = _mm_set1_epi8(static_cast<char>(filter.probes[k].second));
        lasts[k] = _mm_set1_epi8(static_cast<char>(filter.probes[k].last));
    }
    const __m128i firstBits = bitsOf(filter.firstBits);
    const __m128i secondBits = bitsOf(filter.secondBits);
    const __m128i lastBits = bitsOf(filter.lastBits);
    for (; i <= last; i += 16) {
        const unsigned char* at = text + i;
        __m128i here = loadWithBits(at, firstBits);
        __m128i next = loadWithBits(at + 1, secondBits);
        __m128i ahead = here;
        std::size_t loadedOffset = 0;
        __m128i hits = _mm_setzero_si128();
        for (int k = 0; k < count; ++k) {
            std::size_t offset = filter.probes[k].offset;
            __m128i hit = _mm_cmpeq_epi8(here, firsts[k]);
            if (offset != 0) {
                if (offset != loadedOffset) {
                    ahead = loadWithBits(at + offset, lastBits);
                    loadedOffset = offset;
                }
                hit = _mm_and_si128(hit,
                                    _mm_and_si128(_mm_cmpeq_epi8(next, seconds[k]), _mm_cmpeq_epi8(ahead, lasts[k])));
            }
            hits = _mm_or_si128(hits, hit);
        }
        unsigned hitMask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (hitMask != 0) {
            *found = hitMask;
            return i;
        }
    }
    *found = 0;
    return i;
}

// The buckets of the words that may begin at each of the 16 positions from at. With cuts (the
// tables of a CutLook), also those cut after their first byte, whose second byte's tables set
// the sign bit, or after their second, whose third byte's tables allow a cut byte; and the
// stops, whatever the bytes after them.
template <bool CUTS>
KADREL_SSSE3_FUNCTION inline __m128i nibbleBuckets(const unsigned char* at, const __m128i* lows, const __m128i* highs)
{
    const __m128i lowFour = _mm_set1_epi8(0x0F);
    __m128i allowed[WordFilter::NIBBLE_BYTES];
    for (int j = 0; j < WordFilter::NIBBLE_BYTES; ++j) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + j));
        __m128i low = _mm_shuffle_epi8(lows[j], _mm_and_si128(bytes, lowFour));
        __m128i high = _mm_shuffle_epi8(highs[j], _mm_and_si128(_mm_srli_epi16(bytes, 4), lowFour));
        allowed[j] = _mm_and_si128(low, high);
    }
    __m128i after = _mm_and_si128(allowed[1], allowed[2]);
    if (CUTS) {
        after = _mm_or_si128(after, _mm_cmplt_epi8(allowed[1], _mm_setzero_si128()));
        after = _mm_or_si128(after, _mm_set1_epi8(static_cast<char>(CutLook::STOP_BITS)));
    }
    return _mm_and_si128(allowed[0], after);
}

// The first three bytes of each word by nibble tables, 32 positions a step in two independent
// halves.
template <bool CUTS>
KADREL_SSSE3_FUNCTION std::size_t findByNibbles(const unsigned char (*lowTables)[16],
                                                const unsigned char (*highTables)[16], const unsigned char* text,
                                                std::size_t i, std::size_t last, unsigned* found)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i lows[WordFilter::NIBBLE_BYTES];
    __m128i highs[WordFilter::NIBBLE_BYTES];
    for (int j = 0; j < WordFilter::NIBBLE_BYTES; ++j) {
        lows[j] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lowTables[j]));
        highs[j] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(highTables[j]));
    }
    for (; i <= last; i += 32) {
        __m128i first = nibbleBuckets<CUTS>(text + i, lows, highs);
        __m128i second = nibbleBuckets<CUTS>(text + i + 16, lows, highs);
        unsigned empty = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(first, zero))) |
                         static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(second, zero))) << 16;
        if (~empty != 0) {
            *found = ~empty;
            return i;
        }
    }
    *found = 0;
    return i;
}

// The same with 32 positions in one wide register. A leaf function: the wide registers never
// need the stack, which some compilers do not align for them on 64-bit Windows.
template <bool CUTS>
KADREL_AVX2_FUNCTION std::size_t findByNibblesWide(const unsigned char (*lowTables)[16],
                                                   const unsigned char (*highTables)[16], const unsigned char* text,
                                                   std::size_t i, std::size_t last, unsigned* found)
{
    static_assert(WordFilter::NIBBLE_BYTES == 3, "three bytes are looked at");
    const __m256i lowFour = _mm256_set1_epi8(0x0F);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i stopBits = _mm256_set1_epi8(static_cast<char>(CutLook::STOP_BITS));
    const __m256i low0 = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lowTables[0])));
    const __m256i high0 = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(highTables[0])));
    const __m256i low1 = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lowTables[1])));
    const __m256i high1 = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(highTables[1])));
    const __m256i low2 = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lowTables[2])));
    const __m256i high2 = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(highTables[2])));
    for (; i <= last; i += 32) {
        const unsigned char* at = text + i;
        __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
        __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 1));
        __m256i b2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 2));
        __m256i m0 = _mm256_and_si256(_mm256_shuffle_epi8(low0, _mm256_and_si256(b0, lowFour)),
                                      _mm256_shuffle_epi8(high0, _mm256_and_si256(_mm256_srli_epi16(b0, 4), lowFour)));
        __m256i m1 = _mm256_and_si256(_mm256_shuffle_epi8(low1, _mm256_and_si256(b1, lowFour)),
                                      _mm256_shuffle_epi8(high1, _mm256_and_si256(_mm256_srli_epi16(b1, 4), lowFour)));
        __m256i m2 = _mm256_and_si256(_mm256_shuffle_epi8(low2, _mm256_and_si256(b2, lowFour)),
                                      _mm256_shuffle_epi8(high2, _mm256_and_si256(_mm256_srli_epi16(b2, 4), lowFour)));
        __m256i after = _mm256_and_si256(m1, m2);
        if (CUTS)
            after = _mm256_or_si256(_mm256_or_si256(after, stopBits), _mm256_cmpgt_epi8(zero, m1));
        __m256i buckets = _mm256_and_si256(m0, after);
        unsigned hits = ~static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(buckets, zero)));
        if (hits != 0) {
            *found = hits;
            return i;
        }
    }
    *found = 0;
    return i;
}

// Several query words: the first three bytes of each, by the nibble tables.
KADREL_SSSE3_FUNCTION
std::size_t findNibbles(const WordFilter& filter, const unsigned char* text, std::size_t i, std::size_t last,
                        unsigned* found)
{
    return findByNibbles<false>(filter.lowNibbles, filter.highNibbles, text, i, last, found);
}

KADREL_AVX2_FUNCTION
std::size_t findNibblesWide(const WordFilter& filter, const unsigned char* text, std::size_t i, std::size_t last,
                            unsigned* found)
{
    return findByNibblesWide<false>(filter.lowNibbles, filter.highNibbles, text, i, last, found);
}

KADREL_SSSE3_FUNCTION
std::size_t findCutNibbles(const WordFilter&, const unsigned char* text, std::size_t i, std::size_t last,
                           const CutLook& look, unsigned* found)
{
    return findByNibbles<true>(look.lowNibbles, look.highNibbles, text, i, last, found);
}

KADREL_AVX2_FUNCTION
std::size_t findCutNibblesWide(const WordFilter&, const unsigned char* text, std::size_t i, std::size_t last,
                               const CutLook& look, unsigned* found)
{
    return findByNibblesWide<true>(look.lowNibbles, look.highNibbles, text, i, last, found);
}

}  // namespace
#endif

CandidateScan candidateScanFor(const WordFilter& filter)
{
    CandidateScan scan;
#ifdef KADREL_SSE2
    switch (filter.kind) {
    case WordFilter::ONE_WORD:
        scan.find = findOneWord;
        scan.width = 16;
        scan.ahead = filter.probes[0].offset;
        break;
    case WordFilter::WORD_BYTES:
        // The second bytes load from one position on, the last ones up to span positions on.
        scan.find = findWordBytes;
        scan.width = 16;
        scan.ahead = filter.span + 1;
        break;
    case WordFilter::NIBBLES:
        // At least the two bytes that the third byte's nibbles load beyond a step.
        scan.find = filter.wide ? findNibblesWide : findNibbles;
        scan.width = 32;
        scan.ahead = filter.span > 2 ? filter.span : 2;
        break;
    case WordFilter::FIRST_BYTES:
        break;
    }
#else
    (void)filter;
#endif
    return scan;
}

CutScan cutScan()
{
    CutScan scan;
#ifdef KADREL_SSE2
    if (scanMayUse(ScanFeatures::SSSE3)) {
        scan.find = scanMayUse(ScanFeatures::AVX2) ? findCutNibblesWide : findCutNibbles;
        scan.width = 32;
        scan.ahead = 2;
    }
#endif
    return scan;
}
