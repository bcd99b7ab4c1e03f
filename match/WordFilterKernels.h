// The vector looks of the word filter: each finds the positions of a text where a query word
// may begin, many positions at a time. They only find; following up what they find is the
// count's (search/StreamScan.cpp), in one loop for all of them.
#pragma once
#include <cstddef>

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
