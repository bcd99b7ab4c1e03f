#include "text/UnitKernels.h"

#include <cstring>

#include "text/ProcessorFeatures.h"

#ifdef KADREL_SSE2
#include <emmintrin.h>
#include <immintrin.h>
#endif

namespace {

#ifdef KADREL_SSE2
// Which of sixteen bytes are printable ASCII: as signed bytes, above 0x1F and below 0x7F (bytes
// from 0x80 up are below 0).
__m128i printableAscii(__m128i v)
{
    return _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(0x1F)), _mm_cmplt_epi8(v, _mm_set1_epi8(0x7F)));
}
#endif

#ifdef KADREL_SSE2
// narrowLittleEndianAscii 32 units a step: how many it wrote, up to the first step that holds a
// unit beyond ASCII or where fewer than 32 are left. A leaf function: the wide registers never
// need the stack, which some compilers do not align for them on 64-bit Windows.
KADREL_AVX2_FUNCTION
std::size_t narrowAsciiWide(const unsigned char* bytes, std::size_t count, char* out)
{
    const __m256i beyondAscii = _mm256_set1_epi16(static_cast<short>(0xFF80));
    std::size_t k = 0;
    for (; count - k >= 32; k += 32) {
        __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + 2 * k));
        __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + 2 * k + 32));
        if (!_mm256_testz_si256(_mm256_or_si256(low, high), beyondAscii))
            break;
        // The pack keeps to the halves of the registers: its quarters come out as low's first,
        // high's first, low's second, high's second.
        __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k), packed);
    }
    return k;
}
#endif

void narrowLittleEndian(const unsigned char* bytes, std::size_t count, char* out)
{
    std::size_t k = 0;
#ifdef KADREL_SSE2
    for (; k + 16 <= count; k += 16) {
        __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 2 * k));
        __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 2 * k + 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_packus_epi16(low, high));
    }
#endif
    for (; k < count; ++k)
        out[k] = static_cast<char>(bytes[2 * k]);
}

}  // namespace

bool isAsciiStop(const unsigned char* bytes, std::size_t k, std::size_t count, char lead, const char (&after)[3])
{
    unsigned char c = bytes[k];
    if ((c < 0x20 || c >= 0x7F) && c != '\t' && c != '\n' && c != '\r')
        return true;
    if (c != static_cast<unsigned char>(lead) || k + 1 == count)
        return false;
    char next = static_cast<char>(bytes[k + 1]);
    return next == after[0] || next == after[1] || next == after[2];
}

std::size_t narrowLittleEndianAscii(const unsigned char* bytes, std::size_t count, char* out)
{
    std::size_t k = 0;
#ifdef KADREL_SSE2
    if (scanMayUse(ScanFeatures::AVX2))
        k = narrowAsciiWide(bytes, count, out);  // then the step that stopped, 16 at a time
    const __m128i beyondAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
    for (; count - k >= 16; k += 16) {
        __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 2 * k));
        __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 2 * k + 16));
        __m128i wide = _mm_and_si128(_mm_or_si128(low, high), beyondAscii);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(wide, _mm_setzero_si128())) != 0xFFFF)
            break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_packus_epi16(low, high));
    }
#endif
    for (; k < count && bytes[2 * k] < 0x80 && bytes[2 * k + 1] == 0; ++k)
        out[k] = static_cast<char>(bytes[2 * k]);
    return k;
}

bool littleEndianAreAscii(const unsigned char* bytes, std::size_t count)
{
    std::size_t k = 0;
    unsigned all = 0;
#ifdef KADREL_SSE2
    __m128i any = _mm_setzero_si128();
    for (; k + 8 <= count; k += 8)
        any = _mm_or_si128(any, _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 2 * k)));
    // Every unit below 0x80 exactly when no bit from 0x80 up is set in any of them.
    any = _mm_and_si128(any, _mm_set1_epi16(static_cast<short>(0xFF80)));
    all = _mm_movemask_epi8(_mm_cmpeq_epi16(any, _mm_setzero_si128())) == 0xFFFF ? 0 : 0x80;
#endif
    for (; k < count; ++k)
        all |= bytes[2 * k] | bytes[2 * k + 1] << 8;
    return all < 0x80;
}

bool unitsAreAscii(const char16_t* units, std::size_t count)
{
#ifdef KADREL_SSE2
    return littleEndianAreAscii(reinterpret_cast<const unsigned char*>(units), count);
#else
    char16_t all = 0;
    for (std::size_t k = 0; k < count; ++k)
        all = static_cast<char16_t>(all | units[k]);
    return all < 0x80;
#endif
}

std::size_t plainTextRun(const char16_t* units, std::size_t count)
{
    std::size_t k = 0;
#ifdef KADREL_SSE2
    const __m128i blank = _mm_set1_epi16(0x20);
    const __m128i less = _mm_set1_epi16(u'<');
    const __m128i ampersand = _mm_set1_epi16(u'&');
    const __m128i zero = _mm_setzero_si128();
    // Each unit is looked at beside the one after it, so the last is looked at alone.
    for (; k + 9 <= count; k += 8) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + k));
        __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + k + 1));
        // A unit is at most U+0020 exactly when subtracting 0x20 without going below 0 gives 0.
        __m128i markup = _mm_or_si128(_mm_cmpeq_epi16(v, less), _mm_cmpeq_epi16(v, ampersand));
        __m128i atMostBlank = _mm_cmpeq_epi16(_mm_subs_epu16(v, blank), zero);
        __m128i isBlank = _mm_cmpeq_epi16(v, blank);
        __m128i nextStops = _mm_or_si128(_mm_cmpeq_epi16(_mm_subs_epu16(next, blank), zero),
                                         _mm_or_si128(_mm_cmpeq_epi16(next, less), _mm_cmpeq_epi16(next, ampersand)));
        // A space stops the run when what follows it would: it is then white space to fold.
        __m128i stops = _mm_or_si128(
            markup, _mm_or_si128(_mm_andnot_si128(isBlank, atMostBlank), _mm_and_si128(isBlank, nextStops)));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(stops));
        if (mask != 0)
            return k + static_cast<std::size_t>(__builtin_ctz(mask)) / 2;
    }
#endif
    for (; k < count; ++k) {
        char16_t c = units[k];
        if (c == u'<' || c == u'&' || c < u' ')
            return k;
        if (c == u' ') {
            char16_t next = k + 1 < count ? units[k + 1] : u' ';
            if (next <= u' ' || next == u'<' || next == u'&')
                return k;
        }
    }
    return k;
}

std::size_t plainRichTextRun(const char* bytes, std::size_t count)
{
    std::size_t k = 0;
#ifdef KADREL_SSE2
    const __m128i backslash = _mm_set1_epi8('\\');
    const __m128i open = _mm_set1_epi8('{');
    const __m128i close = _mm_set1_epi8('}');
    for (; k + 16 <= count; k += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + k));
        __m128i printable = printableAscii(v);
        __m128i markup =
            _mm_or_si128(_mm_cmpeq_epi8(v, backslash), _mm_or_si128(_mm_cmpeq_epi8(v, open), _mm_cmpeq_epi8(v, close)));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_andnot_si128(markup, printable))) ^ 0xFFFFu;
        if (mask != 0)
            return k + static_cast<std::size_t>(__builtin_ctz(mask));
    }
#endif
    for (; k < count; ++k) {
        unsigned char c = static_cast<unsigned char>(bytes[k]);
        if (c < 0x20 || c >= 0x7F || c == '\\' || c == '{' || c == '}')
            return k;
    }
    return k;
}

std::size_t asciiStop(const char* bytes, std::size_t from, std::size_t count, char lead, const char (&after)[3])
{
    const unsigned char* text = reinterpret_cast<const unsigned char*>(bytes);
    std::size_t k = from;
#ifdef KADREL_SSE2
    const __m128i leadByte = _mm_set1_epi8(lead);
    const __m128i after0 = _mm_set1_epi8(after[0]);
    const __m128i after1 = _mm_set1_epi8(after[1]);
    const __m128i after2 = _mm_set1_epi8(after[2]);
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    // Each byte is looked at beside the one after it, so the last is looked at alone.
    for (; k + 17 <= count; k += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + k));
        __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + k + 1));
        __m128i space = _mm_or_si128(_mm_cmpeq_epi8(v, tab),
                                     _mm_or_si128(_mm_cmpeq_epi8(v, lineFeed), _mm_cmpeq_epi8(v, carriageReturn)));
        __m128i escape =
            _mm_and_si128(_mm_cmpeq_epi8(v, leadByte),
                          _mm_or_si128(_mm_cmpeq_epi8(next, after0),
                                       _mm_or_si128(_mm_cmpeq_epi8(next, after1), _mm_cmpeq_epi8(next, after2))));
        // Stops where neither printable nor white space, or at an escape: the mask of the
        // plain bytes, inverted.
        unsigned plain =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_andnot_si128(escape, _mm_or_si128(printableAscii(v), space))));
        if (plain != 0xFFFFu)
            return k + static_cast<std::size_t>(__builtin_ctz(plain ^ 0xFFFFu));
    }
#endif
    for (; k < count; ++k) {
        if (isAsciiStop(text, k, count, lead, after))
            return k;
    }
    return count;
}

void narrowAscii(const char16_t* units, std::size_t count, char* out)
{
#ifdef KADREL_SSE2
    narrowLittleEndian(reinterpret_cast<const unsigned char*>(units), count, out);
#else
    for (std::size_t k = 0; k < count; ++k)
        out[k] = static_cast<char>(units[k]);
#endif
}

void widenAscii(const char* bytes, std::size_t count, char16_t* out)
{
    std::size_t k = 0;
#ifdef KADREL_SSE2
    const __m128i zero = _mm_setzero_si128();
    for (; k + 16 <= count; k += 16) {
        __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + k));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_unpacklo_epi8(sixteen, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k + 8), _mm_unpackhi_epi8(sixteen, zero));
    }
#endif
    for (; k < count; ++k)
        out[k] = static_cast<unsigned char>(bytes[k]);
}

void unitsFromLittleEndian(const unsigned char* bytes, std::size_t count, char16_t* out)
{
#ifdef KADREL_SSE2
    // The processor is little-endian too: the bytes are the units as they lie in memory.
    std::memcpy(out, bytes, 2 * count);
#else
    for (std::size_t k = 0; k < count; ++k)
        out[k] = static_cast<char16_t>(bytes[2 * k] | bytes[2 * k + 1] << 8);
#endif
}

std::size_t narrowAsciiJoining(const unsigned char* bytes, std::size_t count, char* out, std::size_t* taken)
{
    std::size_t to = 0;
    std::size_t k = 0;
#ifdef KADREL_SSE2
    // Sixteen units at a time, as long as all are ASCII (a unit beyond never packs into a line
    // feed). Only the sixteens that hold a carriage return are compared with the units after
    // them; one before a line feed is left out by moving the bytes after it down a lane, in the
    // register, without a branch on each byte.
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i beyondAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i lanes = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    while (count - k > 16) {
        const unsigned char* at = bytes + 2 * k;
        __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16));
        __m128i wide = _mm_and_si128(_mm_or_si128(low, high), beyondAscii);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(wide, _mm_setzero_si128())) != 0xFFFF)
            break;
        __m128i sixteen = _mm_packus_epi16(low, high);
        k += 16;
        unsigned returns = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(sixteen, carriageReturn)));
        if (returns == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + to), sixteen);
            to += 16;
            continue;
        }
        __m128i after = _mm_packus_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 2)),
                                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 18)));
        unsigned joins = returns & static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(after, lineFeed)));
        std::size_t kept = 16;
        while (joins != 0) {
            __m128i below = _mm_cmplt_epi8(lanes, _mm_set1_epi8(static_cast<char>(__builtin_ctz(joins))));
            sixteen = _mm_or_si128(_mm_and_si128(below, sixteen), _mm_andnot_si128(below, _mm_srli_si128(sixteen, 1)));
            --kept;
            joins = (joins & (joins - 1)) >> 1;  // the others, each a lane lower now
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + to), sixteen);
        to += kept;
    }
    if (count - k > 16) {
        *taken = k;
        return to;
    }
#endif
    for (; k < count && bytes[2 * k] < 0x80 && bytes[2 * k + 1] == 0; ++k) {
        bool beforeLineFeed = k + 1 < count && bytes[2 * k + 2] == '\n' && bytes[2 * k + 3] == 0;
        if (bytes[2 * k] != '\r' || !beforeLineFeed)
            out[to++] = static_cast<char>(bytes[2 * k]);
    }
    *taken = k;
    return to;
}

std::size_t joinLineEnds(char* text, std::size_t length)
{
    const void* first = std::memchr(text, '\r', length);
    if (first == nullptr)
        return length;
    std::size_t to = static_cast<std::size_t>(static_cast<const char*>(first) - text);
    std::size_t at = to;
    while (at < length) {
        // text[at] is a CR: left out before a LF.
        if (at + 1 == length || text[at + 1] != '\n')
            text[to++] = '\r';
        ++at;
        const void* next = std::memchr(text + at, '\r', length - at);
        std::size_t stop = next == nullptr ? length : static_cast<std::size_t>(static_cast<const char*>(next) - text);
        std::memmove(text + to, text + at, stop - at);
        to += stop - at;
        at = stop;
    }
    return to;
}
