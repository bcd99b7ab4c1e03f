#include "match/WordFilter.h"

#include "text/ProcessorFeatures.h"
#include "match/WordFilterKernels.h"

WordFilter::WordFilter(const QueryWords& words) : words(words)
{
    for (int c = 0; c < 256; ++c)
        firstWord[c] = -1;
    for (int i = words.count() - 1; i >= 0; --i) {
        unsigned char first = foldByte(static_cast<unsigned char>(words.word(i)[0]));
        nextSameFirst[i] = firstWord[first];
        firstWord[first] = i;
        std::size_t offset = static_cast<std::size_t>(words.lengthOf(i)) - 1;
        if (offset > span)
            span = offset;
    }
    kind = FIRST_BYTES;
#ifdef KADREL_SSE2
    bool useSsse3 = scanMayUse(ScanFeatures::SSSE3);
    wide = scanMayUse(ScanFeatures::AVX2);
    if (scanMayUse(ScanFeatures::SSE2))
        collectProbes();
    if (probeCount == 1)
        kind = ONE_WORD;
    else if (useSsse3 && words.count() > 1)
        kind = NIBBLES;
    else if (probeCount > 1 && probeCount <= MAX_PROBES)
        kind = WORD_BYTES;
    if (kind == NIBBLES)
        buildNibbleTables();
#endif
}

void WordFilter::collectProbes()
{
    // A text byte is looked at with the case bits of every query byte at its place, so the
    // bits of one word's letter cannot hide another's.
    for (int i = 0; i < words.count(); ++i) {
        const unsigned char* word = reinterpret_cast<const unsigned char*>(words.word(i));
        std::size_t length = static_cast<std::size_t>(words.lengthOf(i));
        firstBits |= wordTable.caseBits[word[0]];
        secondBits |= wordTable.caseBits[word[length > 1 ? 1 : 0]];
        lastBits |= wordTable.caseBits[word[length - 1]];
    }
    for (int i = 0; i < words.count(); ++i) {
        const unsigned char* word = reinterpret_cast<const unsigned char*>(words.word(i));
        std::size_t length = static_cast<std::size_t>(words.lengthOf(i));
        Probe next{static_cast<unsigned char>(word[0] | firstBits),
                   static_cast<unsigned char>(word[length > 1 ? 1 : 0] | secondBits),
                   static_cast<unsigned char>(word[length - 1] | lastBits), length - 1};
        bool known = false;
        for (int k = 0; k < probeCount && !known; ++k) {
            known = probes[k].first == next.first && probes[k].second == next.second && probes[k].last == next.last &&
                    probes[k].offset == next.offset;
        }
        if (known)
            continue;
        if (probeCount == MAX_PROBES) {
            probeCount = MAX_PROBES + 1;  // too many to test this way
            return;
        }
        probes[probeCount++] = next;
    }
    for (int i = 1; i < probeCount; ++i) {
        for (int j = i; j > 0 && probes[j].offset < probes[j - 1].offset; --j) {
            Probe swap = probes[j];
            probes[j] = probes[j - 1];
            probes[j - 1] = swap;
        }
    }
}

namespace {

// Lets bucket through at every nibble that is nibble with some of bits changed.
void allowNibbles(unsigned char (&table)[16], unsigned nibble, unsigned bits, unsigned char bucket)
{
    for (unsigned change = bits;; change = (change - 1) & bits) {
        table[(nibble ^ change) & 15] |= bucket;
        if (change == 0)
            break;
    }
}

}  // namespace

void WordFilter::buildNibbleTables()
{
    fillNibbleTables(lowNibbles, highNibbles, 8);
}

void WordFilter::fillNibbleTables(unsigned char (&lows)[NIBBLE_BYTES][16], unsigned char (&highs)[NIBBLE_BYTES][16],
                                  int buckets) const
{
    for (int i = 0; i < words.count(); ++i) {
        unsigned char bucket = static_cast<unsigned char>(1u << (i % buckets));
        const unsigned char* word = reinterpret_cast<const unsigned char*>(words.word(i));
        int length = words.lengthOf(i);
        for (int j = 0; j < NIBBLE_BYTES; ++j) {
            if (j < length) {
                // A letter in every case: each nibble with any of its case bits changed.
                unsigned char c = word[j];
                unsigned char bits = wordTable.caseBits[c];
                allowNibbles(lows[j], c & 15, bits & 15, bucket);
                allowNibbles(highs[j], c >> 4, bits >> 4, bucket);
            } else {
                for (int n = 0; n < 16; ++n) {
                    lows[j][n] |= bucket;
                    highs[j][n] |= bucket;
                }
            }
        }
    }
}

namespace {

// Whether some query word occurs at text[at], or a start of it that the markup may cut.
bool occursOrIsCutAt(const WordFilter& filter, const unsigned char* text, std::size_t at, std::size_t length,
                     const CutLook& look)
{
    const QueryWords& words = filter.words;
    for (int i = filter.firstWord[foldByte(text[at])]; i >= 0; i = filter.nextSameFirst[i]) {
        std::size_t wordLength = static_cast<std::size_t>(words.lengthOf(i));
        const unsigned char* word = reinterpret_cast<const unsigned char*>(words.word(i));
        std::size_t k = 1;
        while (k < wordLength && at + k < length && foldByte(text[at + k]) == foldByte(word[k]))
            ++k;
        if (k == wordLength)
            return true;
        if (at + k < length && look.isCut[text[at + k]] && !look.cuts.parts(text, length, at + k))
            return true;
    }
    return false;
}

}  // namespace

void WordFilter::makeCutLook(const WordCuts& cuts, const LetterStops& stops, CutLook& look) const
{
    look = CutLook{};
    look.cuts = cuts;
    look.stops = stops;
    fillNibbleTables(look.lowNibbles, look.highNibbles, CutLook::WORD_BUCKETS);
    for (std::size_t k = 0; k < cuts.count; ++k) {
        unsigned char c = static_cast<unsigned char>(cuts.bytes[k]);
        look.isCut[c] = true;
        look.lowNibbles[1][c & 15] |= CutLook::CUT_BIT;
        look.highNibbles[1][c >> 4] |= CutLook::CUT_BIT;
        // A word cut after its second byte: the third may be a cut byte too.
        for (int w = 0; w < words.count(); ++w) {
            unsigned char bucket = static_cast<unsigned char>(1u << (w % CutLook::WORD_BUCKETS));
            if (words.lengthOf(w) > 2) {
                look.lowNibbles[2][c & 15] |= bucket;
                look.highNibbles[2][c >> 4] |= bucket;
            }
        }
    }
    // An escape: the lead, then one of the bytes after it (with the others their nibbles make),
    // then anything.
    const unsigned char lead = static_cast<unsigned char>(stops.lead);
    look.lowNibbles[0][lead & 15] |= CutLook::ESCAPE_BIT;
    look.highNibbles[0][lead >> 4] |= CutLook::ESCAPE_BIT;
    for (char after : stops.after) {
        unsigned char c = static_cast<unsigned char>(after);
        look.lowNibbles[1][c & 15] |= CutLook::ESCAPE_BIT;
        look.highNibbles[1][c >> 4] |= CutLook::ESCAPE_BIT;
    }
    for (int n = 0; n < 16; ++n) {
        look.lowNibbles[2][n] |= CutLook::ESCAPE_BIT;
        look.highNibbles[2][n] |= CutLook::ESCAPE_BIT;
    }
    // The stops, a bit for each set of bytes that is all low nibbles by some high ones: the
    // bytes from 0x80 up and 0x10 to 0x1F; those below 0x10 but tab, LF and CR; 0x7F.
    const unsigned char highAndControls = 0x20, lowControls = 0x40, rubout = 0x80;
    static_assert((0x20 | 0x40 | 0x80) == CutLook::STOP_BITS, "a bit for each set of stops");
    for (int n = 0; n < 16; ++n) {
        look.lowNibbles[0][n] |= highAndControls;
        if (n >= 8 || n == 1)
            look.highNibbles[0][n] |= highAndControls;
        if (n != '\t' && n != '\n' && n != '\r')
            look.lowNibbles[0][n] |= lowControls;
    }
    look.highNibbles[0][0] |= lowControls;
    look.lowNibbles[0][15] |= rubout;
    look.highNibbles[0][7] |= rubout;
}

bool WordFilter::mayBeInMarkup(const unsigned char* text, std::size_t length, const CutLook& look) const
{
    std::size_t i = 0;
    CutScan scan = cutScan();
    if (scan.find == nullptr) {
        // Without the nibble look: the letters first, in vector code, then the words a byte at a
        // time.
        if (!lettersStandInBytes(look.stops, text, length))
            return true;
    } else {
        const std::size_t reach = scan.width + scan.ahead;
        while (length >= reach && i <= length - reach) {
            unsigned found = 0;
            i = scan.find(*this, text, i, length - reach, look, &found);
            if (found == 0)
                break;
            for (; found != 0; found &= found - 1) {
                std::size_t at = i + lowestBit(found);
                if (lettersFallAt(look.stops, text, length, at) || occursOrIsCutAt(*this, text, at, length, look))
                    return true;
            }
            i += scan.width;
        }
    }
    const bool lettersLooked = scan.find == nullptr;
    for (; i < length; ++i) {
        if (!lettersLooked && lettersFallAt(look.stops, text, length, i))
            return true;
        if (firstWord[foldByte(text[i])] >= 0 && occursOrIsCutAt(*this, text, i, length, look))
            return true;
    }
    return false;
}

bool WordFilter::matchesOnlyAscii() const
{
    // A byte from 0x80 up folds only into another from 0x80 up (match/WordTable.h), so an ASCII
    // query byte matches ASCII text bytes alone.
    for (int i = 0; i < words.count(); ++i) {
        const unsigned char* word = reinterpret_cast<const unsigned char*>(words.word(i));
        for (int k = 0; k < words.lengthOf(i); ++k) {
            if (word[k] >= 0x80)
                return false;
        }
    }
    return true;
}
