// Which positions of a text are worth a closer look for the count, and whether a query word
// really begins there. The looks are done with the case bit set in every byte, so they let
// through every position where a query word begins, in whatever letter case, and whatever
// the options: no match is ever passed over, and the line word is then judged by the exact
// rule. Free of <windows.h>.
#pragma once
#include <cstddef>

#include "match/WordRules.h"

const unsigned char CASE_BIT = 0x20;  // ORed into a byte, it lower-cases an ASCII letter

inline unsigned char withCaseBit(unsigned char c)
{
    return static_cast<unsigned char>(c | CASE_BIT);
}

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
    bool wide = false;     // NIBBLES 32 positions at a time (AVX2)
    std::size_t span = 0;  // the longest query word's length less one: bytes looked at ahead
    int firstWord[256];    // per first byte (case bit set): the first query word with it, or -1
    int nextSameFirst[QueryWords::MAX_WORDS];

    // For ONE_WORD and WORD_BYTES: the three bytes of each query word that are looked for,
    // sorted by offset so the bytes at each offset load once.
    struct Probe {
        unsigned char first, second, last;
        std::size_t offset;  // of the last byte from the first
    };
    Probe probes[MAX_PROBES];
    int probeCount = 0;

    // For NIBBLES: for each of the first three bytes of a word, the buckets (one bit each) of
    // the words that allow each value of the byte's low and high nibble. A word shorter than
    // three bytes allows anything after its end.
    unsigned char lowNibbles[NIBBLE_BYTES][16] = {};
    unsigned char highNibbles[NIBBLE_BYTES][16] = {};

private:
    void collectProbes();
    void buildNibbleTables();
};
