// How text is cut into words and how a search word matches a word of a line.
// Words are runs of word characters (isWordChar, match/WordTable.h: the code page's letters
// and digits); every other byte separates words. No function here reads past a terminating
// zero.
#pragma once
#include <cstddef>

#include "match/WordTable.h"

// The longest a query word can be: the search string holds 1023 characters. A line word
// longer than this never equals a query word, and matches only by holding one.
const std::size_t LONGEST_QUERY_WORD = 1023;

// Folds the letters of a zero-terminated text in place, as a search that ignores case
// folds its query (foldByte); other bytes stay.
void foldInPlace(char* text);

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

// The words of a query, cut once so that each line word can be tested against all of
// them without walking the query again. Gives the same answers as countMatchingWords.
class QueryWords {
public:
    // A query of 1023 characters has at most 512 words.
    static const int MAX_WORDS = 512;

    // Cuts query into its words. Returns false when it has more than MAX_WORDS words, or a
    // word longer than LONGEST_QUERY_WORD; the caller then falls back on countMatchingWords.
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
