// The vector looks of the word filter: each finds the positions of a text where a query word
// may begin, many positions at a time. They only find; following up what they find is the
// count's (search/StreamScan.cpp), in one loop for all of them.
#pragma once
#include <cstddef>

#include "text/WordsInBytes.h"

class WordFilter;

// Looks at the positions of text from index i, one step of the finder's width at a time,
// while i is at most last; the caller makes sure every byte a step loads is in hand. Returns
// the index of the first step that holds a candidate, with one bit in *found for each of its
// candidates (the lowest for the step's first position), or the index it stopped at with
// *found 0.
typedef std::size_t (*CandidateFinder)(const WordFilter& filter, const unsigned char* text, std::size_t i,
                                       std::size_t last, unsigned* found);

struct CandidateScan {
    CandidateFinder find = nullptr;  // nullptr: the filter looks a byte at a time
    std::size_t width = 0;           // positions a step looks at
    std::size_t ahead = 0;           // bytes a step loads beyond its last position
};

// The look that the filter's kind asks for.
CandidateScan candidateScanFor(const WordFilter& filter);

// What WordFilter::mayBeInMarkup looks for in one kind of markup, made once for a query
// (WordFilter::makeCutLook): where a query word may begin, or may be cut short by the markup
// (text/WordsInBytes.h) after its first byte or more, and where the letters may stop standing
// in the bytes. The nibble tables are those of WordFilter::lowNibbles and highNibbles, with
// the words in WORD_BUCKETS buckets; the second byte's tables mark the cut bytes with CUT_BIT,
// and the third byte's allow them as well. ESCAPE_BIT is a bucket of its own, the stops'
// lead followed by one of their after bytes (and a few more, which the follow-up passes
// over). STOP_BITS, in the first byte's tables only, mark every byte that is not printable
// ASCII, a tab, LF or CR: a step finds a stop whatever follows it.
struct CutLook {
    static const int WORD_BUCKETS = 4;
    static const unsigned char ESCAPE_BIT = 0x10;
    static const unsigned char STOP_BITS = 0xE0;
    static const unsigned char CUT_BIT = 0x80;
    unsigned char lowNibbles[3][16];
    unsigned char highNibbles[3][16];
    WordCuts cuts;
    LetterStops stops;
    bool isCut[256];
};

// As CandidateFinder, for mayBeInMarkup: the positions where the first byte of a query word is
// followed by a cut byte, or by its second and that by its third or a cut byte; where an escape
// may begin; and the stops.
typedef std::size_t (*CutCandidateFinder)(const WordFilter& filter, const unsigned char* text, std::size_t i,
                                          std::size_t last, const CutLook& look, unsigned* found);

struct CutScan {
    CutCandidateFinder find = nullptr;  // nullptr: the filter looks a byte at a time
    std::size_t width = 0;
    std::size_t ahead = 0;
};

// The look mayBeInMarkup may use, on the processor and within the limit (text/ProcessorFeatures.h):
// the nibble tables need SSSE3, and without it the filter looks a byte at a time.
CutScan cutScan();
