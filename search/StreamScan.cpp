#include "search/StreamScan.h"

#include <atomic>
#include <cstring>

#include "search/SearchState.h"

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define KADREL_SSE2 1
#include <emmintrin.h>
#include <immintrin.h>
#if defined(_MSC_VER)
#include <intrin.h>
#define KADREL_SSSE3_FUNCTION
#define KADREL_AVX2_FUNCTION
#else
#include <cpuid.h>
// The nibble scans alone use SSSE3 or AVX2; each runs only where the processor has it.
#define KADREL_SSSE3_FUNCTION __attribute__((target("ssse3")))
#define KADREL_AVX2_FUNCTION __attribute__((target("avx2")))
#endif
#endif

#ifdef KADREL_SSE2
namespace {
inline unsigned lowestBit(unsigned mask) {
#if defined(_MSC_VER)
    unsigned long index;
    _BitScanForward(&index, mask);
    return index;
#else
    return static_cast<unsigned>(__builtin_ctz(mask));
#endif
}
} // namespace
#endif

std::size_t findByte(const char* text, std::size_t length, unsigned char value) {
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

std::size_t BinaryTextBytes::read(char* into, std::size_t count) {
    if (ended)
        return 0;
    std::size_t got = std::fread(into, 1, count, file);
    std::size_t stop = findByte(into, got, 0x1A);
    if (stop < got)
        ended = true;
    return stop;
}

ReadCutter::ReadCutter(ByteSource& source, char* buffer, std::size_t capacity)
    : source(source), buffer(buffer), capacity(capacity) {}

bool ReadCutter::next(char* line) {
    for (;;) {
        std::size_t available = end - position;
        std::size_t window = available < READ_LIMIT ? available : READ_LIMIT;
        std::size_t newline = findByte(buffer + position, window, '\n');
        std::size_t length;
        if (newline < window) {
            length = newline + 1;
        } else if (available >= READ_LIMIT) {
            length = READ_LIMIT;
        } else if (atEnd) {
            if (available == 0)
                return false;
            length = available;
        } else {
            // Not a whole read in hand: move the rest to the front and take in more.
            std::memmove(buffer, buffer + position, available);
            position = 0;
            end = available;
            std::size_t wanted = capacity - end;
            std::size_t got = source.read(buffer + end, wanted);
            end += got;
            atEnd = got < wanted;
            continue;
        }
        std::memcpy(line, buffer + position, length);
        line[length] = '\0';
        position += length;
        return true;
    }
}

namespace {

std::atomic<int> featureLimit{static_cast<int>(ScanFeatures::AVX2)};

const std::size_t NEED_MORE = static_cast<std::size_t>(-1);
const unsigned char CASE_BIT = 0x20; // ORed into a byte, it lower-cases an ASCII letter

inline unsigned char withCaseBit(unsigned char c) {
    return static_cast<unsigned char>(c | CASE_BIT);
}

#ifdef KADREL_SSE2
bool processorHasSsse3() {
#if defined(_MSC_VER)
    int info[4];
    __cpuid(info, 1);
    return (info[2] & (1 << 9)) != 0;
#else
    unsigned a, b, c, d;
    return __get_cpuid(1, &a, &b, &c, &d) && (c & bit_SSSE3) != 0;
#endif
}

// AVX2 needs the processor to have it and the system to save the wide registers.
bool processorHasAvx2() {
    const unsigned OSXSAVE = 1u << 27, AVX = 1u << 28, AVX2 = 1u << 5;
#if defined(_MSC_VER)
    int info[4];
    __cpuid(info, 1);
    unsigned c = static_cast<unsigned>(info[2]);
    if ((c & OSXSAVE) == 0 || (c & AVX) == 0 || (_xgetbv(0) & 6) != 6)
        return false;
    __cpuidex(info, 7, 0);
    return (static_cast<unsigned>(info[1]) & AVX2) != 0;
#else
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d) || (c & OSXSAVE) == 0 || (c & AVX) == 0)
        return false;
    unsigned low, high;
    __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    if ((low & 6) != 6)
        return false;
    return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & AVX2) != 0;
#endif
}
#endif

// Which positions of the text are worth a closer look, and whether a query word really is
// there. The looks are done with the case bit set in every byte, so they let through every
// position where a query word begins, in whatever letter case, and whatever the options:
// no match is ever passed over, and the line word is then judged by the exact rule.
class WordFilter {
public:
    enum Kind {
        ONE_WORD,    // one query word: its first, second and last bytes, 16 positions at a time
        NIBBLES,     // several: the first three bytes of each, by nibble tables (SSSE3)
        WORD_PAIRS,  // several, without SSSE3: the first, second and last bytes of each
        FIRST_BYTES, // a byte at a time, by the first byte of each word
    };
    static const int MAX_PAIRS = 16;
    static const int NIBBLE_BYTES = 3;

    explicit WordFilter(const QueryWords& words) : words(words) {
        for (int c = 0; c < 256; ++c)
            firstWord[c] = -1;
        for (int i = words.count() - 1; i >= 0; --i) {
            unsigned char first = withCaseBit(static_cast<unsigned char>(words.word(i)[0]));
            nextSameFirst[i] = firstWord[first];
            firstWord[first] = i;
            std::size_t offset = static_cast<std::size_t>(words.lengthOf(i)) - 1;
            if (offset > span)
                span = offset;
        }
        kind = FIRST_BYTES;
#ifdef KADREL_SSE2
        static const bool hasSsse3 = processorHasSsse3();
        static const bool hasAvx2 = processorHasAvx2();
        int allowed = featureLimit.load(std::memory_order_relaxed);
        bool useSsse3 = hasSsse3 && allowed >= static_cast<int>(ScanFeatures::SSSE3);
        wide = hasAvx2 && allowed >= static_cast<int>(ScanFeatures::AVX2);
        if (allowed >= static_cast<int>(ScanFeatures::SSE2))
            collectPairs();
        if (pairCount == 1)
            kind = ONE_WORD;
        else if (useSsse3 && words.count() > 1)
            kind = NIBBLES;
        else if (pairCount > 1 && pairCount <= MAX_PAIRS)
            kind = WORD_PAIRS;
        if (kind == NIBBLES)
            buildNibbleTables();
#endif
    }

    // Whether some query word begins at text[at], letter case aside. The caller makes sure
    // the text holds end bytes.
    bool occursAt(const unsigned char* text, std::size_t at, std::size_t end) const {
        for (int i = firstWord[withCaseBit(text[at])]; i >= 0; i = nextSameFirst[i]) {
            std::size_t length = static_cast<std::size_t>(words.lengthOf(i));
            if (at + length > end)
                continue;
            const char* word = words.word(i);
            std::size_t k = 1;
            while (k < length && lowerAscii(static_cast<char>(text[at + k])) == lowerAscii(word[k]))
                ++k;
            if (k == length && lowerAscii(static_cast<char>(text[at])) == lowerAscii(word[0]))
                return true;
        }
        return false;
    }

    const QueryWords& words;
    Kind kind;
    bool wide = false;    // NIBBLES 32 positions at a time (AVX2)
    std::size_t span = 0; // the longest query word's length less one: bytes looked at ahead
    int firstWord[256];   // per first byte (case bit set): the first query word with it, or -1
    int nextSameFirst[QueryWords::MAX_WORDS];

    // For ONE_WORD and WORD_PAIRS, sorted by offset so the bytes at each offset load once.
    struct Pair {
        unsigned char first, second, last;
        std::size_t offset; // of the last byte from the first
    };
    Pair pairs[MAX_PAIRS];
    int pairCount = 0;

    // For NIBBLES: for each of the first three bytes of a word, the buckets (one bit each) of
    // the words that allow each value of the byte's low and high nibble. A word shorter than
    // three bytes allows anything after its end.
    unsigned char lowNibbles[NIBBLE_BYTES][16] = {};
    unsigned char highNibbles[NIBBLE_BYTES][16] = {};

private:
    void collectPairs() {
        for (int i = 0; i < words.count(); ++i) {
            const unsigned char* word = reinterpret_cast<const unsigned char*>(words.word(i));
            std::size_t length = static_cast<std::size_t>(words.lengthOf(i));
            Pair next{withCaseBit(word[0]), withCaseBit(word[length > 1 ? 1 : 0]),
                      withCaseBit(word[length - 1]), length - 1};
            bool known = false;
            for (int k = 0; k < pairCount && !known; ++k) {
                known = pairs[k].first == next.first && pairs[k].second == next.second &&
                        pairs[k].last == next.last && pairs[k].offset == next.offset;
            }
            if (known)
                continue;
            if (pairCount == MAX_PAIRS) {
                pairCount = MAX_PAIRS + 1; // too many to test this way
                return;
            }
            pairs[pairCount++] = next;
        }
        for (int i = 1; i < pairCount; ++i) {
            for (int j = i; j > 0 && pairs[j].offset < pairs[j - 1].offset; --j) {
                Pair swap = pairs[j];
                pairs[j] = pairs[j - 1];
                pairs[j - 1] = swap;
            }
        }
    }

    void buildNibbleTables() {
        for (int i = 0; i < words.count(); ++i) {
            unsigned char bucket = static_cast<unsigned char>(1u << (i % 8));
            const unsigned char* word = reinterpret_cast<const unsigned char*>(words.word(i));
            int length = words.lengthOf(i);
            for (int j = 0; j < NIBBLE_BYTES; ++j) {
                if (j < length) {
                    // A letter in either case; any other byte as it is.
                    unsigned char c = word[j];
                    lowNibbles[j][c & 15] |= bucket;
                    highNibbles[j][c >> 4] |= bucket;
                    if (isWordChar(c) && c >= 'A')
                        highNibbles[j][(c ^ CASE_BIT) >> 4] |= bucket;
                } else {
                    for (int n = 0; n < 16; ++n) {
                        lowNibbles[j][n] |= bucket;
                        highNibbles[j][n] |= bucket;
                    }
                }
            }
        }
    }
};

// Everything the count carries from one block of the stream to the next. Positions named
// "...Offset" count bytes from the start of the stream; indexes count from the buffer.
// Line feeds and zeros are looked for only when a candidate needs to know its read, and
// only in the bytes since the last look (the accounted index).
struct CountState {
    const WordFilter& filter;
    const unsigned char* text;
    long long base = 0;  // stream offset of text[0]
    std::size_t end = 0; // bytes held in the buffer
    bool atEnd = false;
    std::size_t accounted = 0;     // line feeds and zeros before this index are known
    long long newlineOffset = -1;  // the last line feed before the accounted index
    long long zeroOffset = -1;     // a zero in the read of the accounted index, if any
    long long caseReadOffset = -1; // the read whose caseSensitive value is held
    bool caseSensitive = false;
    int count = 0;
};

// Stream offset of the start of the read that holds the byte at stream offset offset, once
// the line feeds before it are accounted for. A line longer than a read takes several.
long long readStartOf(const CountState& s, long long offset) {
    long long lineStart = s.newlineOffset + 1;
    long long limit = static_cast<long long>(READ_LIMIT);
    return lineStart + (offset - lineStart) / limit * limit;
}

// Brings newlineOffset and zeroOffset up to index upTo. Only the last line feed counts, so
// it is looked for backwards; a zero matters only within the read that upTo is in, since a
// read is looked at only up to its first zero and later positions are in the same or later
// reads.
void accountUpTo(CountState& s, std::size_t upTo) {
    for (std::size_t k = upTo; k > s.accounted; --k) {
        if (s.text[k - 1] == '\n') {
            s.newlineOffset = s.base + static_cast<long long>(k - 1);
            break;
        }
    }
    long long readFirst = readStartOf(s, s.base + static_cast<long long>(upTo)) - s.base;
    std::size_t from = s.accounted;
    if (readFirst > static_cast<long long>(from))
        from = static_cast<std::size_t>(readFirst);
    if (from < upTo) {
        std::size_t zero = findByte(reinterpret_cast<const char*>(s.text) + from, upTo - from, 0);
        if (zero < upTo - from)
            s.zeroOffset = s.base + static_cast<long long>(from + zero);
    }
    s.accounted = upTo;
}

// Judges the line word that holds text[at], where a query word begins. Returns the index
// scanning goes on from: past the word once it has been compared, the next byte when it is
// not to be compared, or NEED_MORE when the word may go on beyond the bytes in hand.
std::size_t judgeWordAt(CountState& s, std::size_t at) {
    accountUpTo(s, at);
    long long readStart = readStartOf(s, s.base + static_cast<long long>(at));
    // A read is looked at only up to its first zero byte.
    if (s.zeroOffset >= readStart)
        return at + 1;

    // The word ends at a separator or where its read does, whichever comes first.
    long long readFirst = readStart - s.base;
    std::size_t from = at;
    while (from > 0 && static_cast<long long>(from) > readFirst && isWordChar(s.text[from - 1]))
        --from;
    long long readEnd = readFirst + static_cast<long long>(READ_LIMIT);
    std::size_t stop = readEnd < static_cast<long long>(s.end) ? static_cast<std::size_t>(readEnd) : s.end;
    std::size_t to = at + 1;
    while (to < stop && isWordChar(s.text[to]))
        ++to;
    if (to == s.end && !s.atEnd && static_cast<long long>(to) < readEnd)
        return NEED_MORE;

    // Case is looked at once per read, as the line-at-a-time scan does.
    if (readStart != s.caseReadOffset) {
        s.caseReadOffset = readStart;
        s.caseSensitive = searchOptions.caseSensitive.load(std::memory_order_relaxed) != 0;
    }
    int length = static_cast<int>(to - from);
    const char* word = reinterpret_cast<const char*>(s.text + from);
    char folded[READ_LIMIT];
    if (!s.caseSensitive) {
        for (int k = 0; k < length; ++k)
            folded[k] = lowerAscii(word[k]);
        word = folded;
    }
    bool wholeWordsOnly = searchOptions.wholeWordsOnly.load(std::memory_order_relaxed) != 0;
    if (s.filter.words.anyMatches(word, length, wholeWordsOnly))
        ++s.count;
    return to;
}

// Follows up the candidates of the positions from index i (one bit each in found, the
// lowest for i). Returns the index to scan on from (i + width when no word was judged), or
// NEED_MORE with *stoppedAt at the candidate.
std::size_t followCandidates(CountState& s, std::size_t i, unsigned found, std::size_t width,
                             std::size_t* stoppedAt) {
    while (found != 0) {
        std::size_t index = i + lowestBit(found);
        found &= found - 1;
        if (!s.filter.occursAt(s.text, index, s.end))
            continue;
        std::size_t after = judgeWordAt(s, index);
        if (after == NEED_MORE) {
            *stoppedAt = index;
            return NEED_MORE;
        }
        if (after > index + 1)
            return after; // the word was judged as a whole: go on after it
    }
    return i + width;
}

#ifdef KADREL_SSE2
// The 16 bytes from at, each with the case bit set.
inline __m128i loadWithCaseBit(const unsigned char* at) {
    return _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)),
                        _mm_set1_epi8(static_cast<char>(CASE_BIT)));
}

// Each vector scan looks at 16 positions at a time from index i, while they are below limit
// and the bytes it loads are in hand. It returns the index it stopped at, or NEED_MORE with
// *stoppedAt set to the candidate that needs more bytes.

std::size_t scanOneWord(CountState& s, std::size_t i, std::size_t limit, std::size_t* stoppedAt) {
    const WordFilter::Pair& pair = s.filter.pairs[0];
    const __m128i first = _mm_set1_epi8(static_cast<char>(pair.first));
    const __m128i second = _mm_set1_epi8(static_cast<char>(pair.second));
    const __m128i last = _mm_set1_epi8(static_cast<char>(pair.last));
    const std::size_t offset = pair.offset;
    const std::size_t nextOffset = offset > 0 ? 1 : 0;
    while (i + 16 <= limit && i + 16 + offset <= s.end) {
        const unsigned char* at = s.text + i;
        __m128i here = loadWithCaseBit(at);
        __m128i next = loadWithCaseBit(at + nextOffset);
        __m128i ahead = loadWithCaseBit(at + offset);
        __m128i hits = _mm_and_si128(_mm_cmpeq_epi8(here, first), _mm_and_si128(_mm_cmpeq_epi8(next, second),
                                                                                _mm_cmpeq_epi8(ahead, last)));
        unsigned found = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (found == 0) {
            i += 16;
            continue;
        }
        i = followCandidates(s, i, found, 16, stoppedAt);
        if (i == NEED_MORE)
            return NEED_MORE;
    }
    return i;
}

std::size_t scanWordPairs(CountState& s, std::size_t i, std::size_t limit, std::size_t* stoppedAt) {
    const WordFilter& filter = s.filter;
    __m128i firsts[WordFilter::MAX_PAIRS];
    __m128i seconds[WordFilter::MAX_PAIRS];
    __m128i lasts[WordFilter::MAX_PAIRS];
    const int count = filter.pairCount;
    for (int k = 0; k < count; ++k) {
        firsts[k] = _mm_set1_epi8(static_cast<char>(filter.pairs[k].first));
        seconds[k] = _mm_set1_epi8(static_cast<char>(filter.pairs[k].second));
        lasts[k] = _mm_set1_epi8(static_cast<char>(filter.pairs[k].last));
    }
    const std::size_t span = filter.span;
    while (i + 16 <= limit && i + 17 + span <= s.end) {
        const unsigned char* at = s.text + i;
        __m128i here = loadWithCaseBit(at);
        __m128i next = loadWithCaseBit(at + 1);
        __m128i ahead = here;
        std::size_t loadedOffset = 0;
        __m128i hits = _mm_setzero_si128();
        for (int k = 0; k < count; ++k) {
            std::size_t offset = filter.pairs[k].offset;
            __m128i hit = _mm_cmpeq_epi8(here, firsts[k]);
            if (offset != 0) {
                if (offset != loadedOffset) {
                    ahead = loadWithCaseBit(at + offset);
                    loadedOffset = offset;
                }
                hit = _mm_and_si128(
                    hit, _mm_and_si128(_mm_cmpeq_epi8(next, seconds[k]), _mm_cmpeq_epi8(ahead, lasts[k])));
            }
            hits = _mm_or_si128(hits, hit);
        }
        unsigned found = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (found == 0) {
            i += 16;
            continue;
        }
        i = followCandidates(s, i, found, 16, stoppedAt);
        if (i == NEED_MORE)
            return NEED_MORE;
    }
    return i;
}

// The buckets of the words that may begin at each of the 16 positions from at.
KADREL_SSSE3_FUNCTION inline __m128i nibbleBuckets(const unsigned char* at, const __m128i* lows,
                                                   const __m128i* highs) {
    const __m128i lowFour = _mm_set1_epi8(0x0F);
    __m128i buckets = _mm_set1_epi8(-1);
    for (int j = 0; j < WordFilter::NIBBLE_BYTES; ++j) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + j));
        __m128i low = _mm_shuffle_epi8(lows[j], _mm_and_si128(bytes, lowFour));
        __m128i high = _mm_shuffle_epi8(highs[j], _mm_and_si128(_mm_srli_epi16(bytes, 4), lowFour));
        buckets = _mm_and_si128(buckets, _mm_and_si128(low, high));
    }
    return buckets;
}

// From index i, 32 positions at a time while i is at most last, finds the first 32 that
// hold a candidate: returns their index with one bit each in *found, or the index it
// stopped at with *found 0. A leaf function: the wide registers never need the stack,
// which some compilers do not align for them on 64-bit Windows.
KADREL_AVX2_FUNCTION
std::size_t findNibblesWide(const unsigned char* text, std::size_t i, std::size_t last,
                            const WordFilter& filter, unsigned* found) {
    const __m256i lowFour = _mm256_set1_epi8(0x0F);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i low0 =
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(filter.lowNibbles[0])));
    const __m256i high0 =
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(filter.highNibbles[0])));
    const __m256i low1 =
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(filter.lowNibbles[1])));
    const __m256i high1 =
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(filter.highNibbles[1])));
    const __m256i low2 =
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(filter.lowNibbles[2])));
    const __m256i high2 =
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(filter.highNibbles[2])));
    static_assert(WordFilter::NIBBLE_BYTES == 3, "three bytes are looked at");
    for (; i <= last; i += 32) {
        const unsigned char* at = text + i;
        __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
        __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 1));
        __m256i b2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 2));
        __m256i m0 =
            _mm256_and_si256(_mm256_shuffle_epi8(low0, _mm256_and_si256(b0, lowFour)),
                             _mm256_shuffle_epi8(high0, _mm256_and_si256(_mm256_srli_epi16(b0, 4), lowFour)));
        __m256i m1 =
            _mm256_and_si256(_mm256_shuffle_epi8(low1, _mm256_and_si256(b1, lowFour)),
                             _mm256_shuffle_epi8(high1, _mm256_and_si256(_mm256_srli_epi16(b1, 4), lowFour)));
        __m256i m2 =
            _mm256_and_si256(_mm256_shuffle_epi8(low2, _mm256_and_si256(b2, lowFour)),
                             _mm256_shuffle_epi8(high2, _mm256_and_si256(_mm256_srli_epi16(b2, 4), lowFour)));
        __m256i buckets = _mm256_and_si256(m0, _mm256_and_si256(m1, m2));
        unsigned hits = ~static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(buckets, zero)));
        if (hits != 0) {
            *found = hits;
            return i;
        }
    }
    *found = 0;
    return i;
}

KADREL_SSSE3_FUNCTION
std::size_t scanNibbles(CountState& s, std::size_t i, std::size_t limit, std::size_t* stoppedAt) {
    const WordFilter& filter = s.filter;
    const std::size_t ahead = filter.span > 2 ? filter.span : 2;
    if (filter.wide) {
        while (i + 32 <= limit && i + 32 + ahead <= s.end) {
            std::size_t last = limit - 32;
            if (s.end - 32 - ahead < last)
                last = s.end - 32 - ahead;
            unsigned found = 0;
            i = findNibblesWide(s.text, i, last, filter, &found);
            if (found == 0)
                break;
            i = followCandidates(s, i, found, 32, stoppedAt);
            if (i == NEED_MORE)
                return NEED_MORE;
        }
    }
    const __m128i zero = _mm_setzero_si128();
    __m128i lows[WordFilter::NIBBLE_BYTES];
    __m128i highs[WordFilter::NIBBLE_BYTES];
    for (int j = 0; j < WordFilter::NIBBLE_BYTES; ++j) {
        lows[j] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(filter.lowNibbles[j]));
        highs[j] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(filter.highNibbles[j]));
    }
    // 32 positions a step, in two independent halves.
    while (i + 32 <= limit && i + 32 + ahead <= s.end) {
        __m128i first = nibbleBuckets(s.text + i, lows, highs);
        __m128i second = nibbleBuckets(s.text + i + 16, lows, highs);
        unsigned empty = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(first, zero))) |
                         static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(second, zero))) << 16;
        unsigned found = ~empty;
        if (found == 0) {
            i += 32;
            continue;
        }
        i = followCandidates(s, i, found, 32, stoppedAt);
        if (i == NEED_MORE)
            return NEED_MORE;
    }
    return i;
}
#endif

// Judges every line word in text[i, limit) where a query word begins. Returns where it
// stopped: limit (or the end of a word that reaches past it), or the candidate that needs
// more bytes than are in hand.
std::size_t scanRange(CountState& s, std::size_t i, std::size_t limit) {
#ifdef KADREL_SSE2
    std::size_t stoppedAt = 0;
    switch (s.filter.kind) {
    case WordFilter::ONE_WORD:
        i = scanOneWord(s, i, limit, &stoppedAt);
        break;
    case WordFilter::NIBBLES:
        i = scanNibbles(s, i, limit, &stoppedAt);
        break;
    case WordFilter::WORD_PAIRS:
        i = scanWordPairs(s, i, limit, &stoppedAt);
        break;
    case WordFilter::FIRST_BYTES:
        break;
    }
    if (i == NEED_MORE)
        return stoppedAt;
#endif
    // What is left, a byte at a time.
    while (i < limit) {
        if (s.filter.firstWord[withCaseBit(s.text[i])] >= 0 && s.filter.occursAt(s.text, i, s.end)) {
            std::size_t after = judgeWordAt(s, i);
            if (after == NEED_MORE)
                return i;
            i = after;
            continue;
        }
        ++i;
    }
    return i;
}

} // namespace

void limitScanFeatures(ScanFeatures most) {
    featureLimit.store(static_cast<int>(most));
}

int countStreamMatches(ByteSource& source, const QueryWords& words, char* buffer, std::size_t capacity) {
    WordFilter filter(words);
    CountState s{filter, reinterpret_cast<const unsigned char*>(buffer)};
    std::size_t scan = 0;
    for (;;) {
        if (!s.atEnd) {
            std::size_t wanted = capacity - s.end;
            std::size_t got = source.read(buffer + s.end, wanted);
            s.end += got;
            s.atEnd = got < wanted;
        }
        if (words.count() == 0) {
            // Nothing can match, but the stream is still read to its end.
            if (s.atEnd)
                return 0;
            s.end = 0;
            continue;
        }
        // A query word is looked for up to span bytes ahead of where it begins; until the
        // stream has ended, positions closer than that to the end of the bytes in hand wait
        // for the next block.
        std::size_t limit = s.atEnd ? s.end : (s.end > filter.span ? s.end - filter.span : 0);
        scan = scanRange(s, scan, limit);
        if (s.atEnd && scan >= s.end)
            return s.count;
        accountUpTo(s, scan);
        // Keep the read's worth of bytes before the scan position: the word of a later
        // candidate can begin up to READ_LIMIT - 1 bytes before it.
        std::size_t keep = scan > READ_LIMIT ? scan - READ_LIMIT : 0;
        std::memmove(buffer, buffer + keep, s.end - keep);
        s.base += static_cast<long long>(keep);
        s.end -= keep;
        scan -= keep;
        s.accounted -= keep;
    }
}
