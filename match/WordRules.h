// How text is cut into words and how a search word matches a word of a line.
// Words are runs of ASCII letters and digits; every other byte, including the bytes from
// 0x80 up, separates words. No function here reads past a terminating zero.
#pragma once
#include <cstddef>

#include "text/AsciiCase.h"

inline bool isWordChar(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Lower-cases the ASCII letters of a zero-terminated text in place; other bytes stay.
void lowerAsciiInPlace(char* text);

// Start of the first word at or after text; nullptr when the terminator comes first.
const char* firstWord(const char* text);

// Given the start of a word, the start of the word after it; nullptr when none follows.
const char* nextWord(const char* word);

// Number of consecutive word characters from pos (0 at a separator).
int wordLength(const char* pos);

// Whether the query word at queryWord matches the line word at lineWord: equal bytes,
// or (unless wholeWordsOnly) the query word found anywhere inside the line word.
bool wordMatches(const char* queryWord, const char* lineWord, bool wholeWordsOnly);

// Number of query words that match the line word at lineWord.
int countMatchingWords(const char* query, const char* lineWord, bool wholeWordsOnly);

// Copies line into folded up to its first zero byte, lower-casing ASCII letters unless
// caseSensitive, and terminates it. Both buffers must hold cap bytes; returns the length.
std::size_t foldLine(char* folded, std::size_t cap, const char* line, bool caseSensitive);

// The words of a query, cut once so that each line word can be tested against all of
// them without walking the query again. Gives the same answers as countMatchingWords.
class QueryWords {
public:
    // A query of 1023 characters has at most 512 words.
    static const int MAX_WORDS = 512;

    // Cuts query into its words. Returns false when it has more than MAX_WORDS words; the
    // caller then falls back on countMatchingWords.
    bool parse(const char* query);

    // Whether any query word matches the line word of length length at lineWord.
    bool anyMatches(const char* lineWord, int length, bool wholeWordsOnly) const;

    int count() const { return wordCount; }
    const char* word(int i) const { return start[i]; }
    int lengthOf(int i) const { return length[i]; }

private:
    const char* start[MAX_WORDS];
    int length[MAX_WORDS];
    int wordCount = 0;
    int shortest = 0;  // length of the shortest word, so long queries skip short line words fast
};
