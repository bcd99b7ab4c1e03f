// Which positions of a text are worth a closer look for the count, and whether a query word
// really begins there. The looks are done with the case bits of the query's bytes set in
// every byte (WordTable::caseBits), so they let through every position where a query word
// begins, in whatever letter case, and whatever the options: no match is ever passed over,
// and the line word is then judged by the exact rule.
#pragma once
#include <cstddef>

#include "match/WordRules.h"

struct CutLook;
struct LetterStops;
struct WordCuts;

class WordFilter {
public:
    // How the positions are looked at (match/WordFilterKernels.h), chosen by the number of
    // query words and by what scanMayUse allows.
    enum Kind {
        ONE_WORD,     // one query word: its first, second and last bytes, 16 positions at a time
        NIBBLES,      // several: the first three bytes of each, by nibble tables (SSSE3)
        WORD_BYTES,   // several, without SSSE3: the first, second and last bytes of each
        FIRST_BYTES,  // a byte at a time, by the first byte of each word
    };
    static const int MAX_PROBES = 16;
    static const int NIBBLE_BYTES = 3;

    explicit WordFilter(const QueryWords& words);

    // Whether some query word begins at text[at], letter case aside. The caller makes sure
    // the text holds end bytes.
    bool occursAt(const unsigned char* text, std::size_t at, std::size_t end) const
    {
        for (int i = firstWord[foldByte(text[at])]; i >= 0; i = nextSameFirst[i]) {
            std::size_t length = static_cast<std::size_t>(words.lengthOf(i));
            if (at + length > end)
                continue;
            const unsigned char* word = reinterpret_cast<const unsigned char*>(words.word(i));
            std::size_t k = 1;
            while (k < length && foldByte(text[at + k]) == foldByte(word[k]))
                ++k;
            if (k == length)
                return true;
        }
        return false;
    }

    // Whether some query word begins at text[at] as the words are compared: the text folded
    // when case does not count, the query word as it is.
    bool occursAsComparedAt(const unsigned char* text, std::size_t at, std::size_t end, bool folded) const
    {
        for (int i = firstWord[foldByte(text[at])]; i >= 0; i = nextSameFirst[i]) {
            std::size_t length = static_cast<std::size_t>(words.lengthOf(i));
            if (at + length > end)
                continue;
            const unsigned char* word = reinterpret_cast<const unsigned char*>(words.word(i));
            std::size_t k = 0;
            while (k < length && (folded ? foldByte(text[at + k]) : text[at + k]) == word[k])
                ++k;
            if (k == length)
                return true;
        }
        return false;
    }

    // Makes what mayBeInMarkup looks for in the text of markup that cuts words as cuts says,
    // and whose letters may stop standing where stops says.
    void makeCutLook(const WordCuts& cuts, const LetterStops& stops, CutLook& look) const;
    // Whether some query word may be in the text of a markup file, text[0, length): its
    // letters do not all stand in its bytes (text/WordsInBytes.h), or a query word occurs
    // among them, letter case aside, inside a word or not, or a start of one (one byte at
    // least) comes right before a cut byte at which the markup may join it to what follows.
    bool mayBeInMarkup(const unsigned char* text, std::size_t length, const CutLook& look) const;
    // Whether only ASCII text can match: every query byte is ASCII.
    bool matchesOnlyAscii() const;

    const QueryWords& words;
    Kind kind;
    bool wide = false;     // NIBBLES 32 positions at a time (AVX2)
    std::size_t span = 0;  // the longest query word's length less one: bytes looked at ahead
    int firstWord[256];    // per first byte (folded): the first query word with it, or -1
    int nextSameFirst[QueryWords::MAX_WORDS];

    // For ONE_WORD and WORD_BYTES: the three bytes of each query word that are looked for,
    // with the case bits set that every text byte is looked at with at that place, sorted by
    // offset so the bytes at each offset load once.
    struct Probe {
        unsigned char first, second, last;
        std::size_t offset;  // of the last byte from the first
    };
    Probe probes[MAX_PROBES];
    int probeCount = 0;
    unsigned char firstBits = 0, secondBits = 0, lastBits = 0;

    // For NIBBLES: for each of the first three bytes of a word, the buckets (one bit each) of
    // the words that allow each value of the byte's low and high nibble. A word shorter than
    // three bytes allows anything after its end.
    unsigned char lowNibbles[NIBBLE_BYTES][16] = {};
    unsigned char highNibbles[NIBBLE_BYTES][16] = {};

private:
    void collectProbes();
    void buildNibbleTables();
    // Fills the nibble tables, word i in bucket i % buckets.
    void fillNibbleTables(unsigned char (&lows)[NIBBLE_BYTES][16], unsigned char (&highs)[NIBBLE_BYTES][16],
                          int buckets) const;
};
