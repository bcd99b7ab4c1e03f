// Counting the matching line words of a whole stream, a block at a time, with the answer the
// line-by-line matcher gets from the same file. Free of <windows.h>, so it builds natively
// as well.
#pragma once
#include <cstddef>

#include "match/WordFilterKernels.h"
#include "text/FileText.h"

class ByteSource;
class QueryWords;
class WordFilter;

// Counts the matching line words of the whole stream, with the same answer that LineScan
// gives summed over the lines that ReadCutter hands out. It never cuts the lines out: it
// keeps every rule of search/ReadCutter.h on the block itself, and the options are read as
// LineScan reads them (caseSensitive once for a line, wholeWordsOnly for every line word
// that is compared). Instead of comparing every line word, it first looks for places where
// some query word could begin (its first and last bytes, in any letter case), and compares
// only the line words that hold such a place. buffer holds capacity bytes, at
// least STREAM_BLOCK_MINIMUM (search/ReadCutter.h). The stream is always read to its end,
// even when words has no word and nothing can match.
int countStreamMatches(ByteSource& source, const QueryWords& words, char* buffer, std::size_t capacity);
// The same with the query's filter made already: a walk makes it once for all its files.
int countStreamMatches(ByteSource& source, const WordFilter& filter, char* buffer, std::size_t capacity);

// The query's words as a FileText asks about a markup file it holds whole: they may be in its
// text when its letters do not all stand in its bytes, or one of them occurs among its bytes,
// letter case aside, or is cut there by markup that may join it (WordFilter::mayBeInMarkup,
// one look through the bytes for all of it). Always "may" for a query with a byte from 0x80
// up. What it looks for in each kind of markup is made the first time it is asked about one.
class QueryInBytes final : public WordsLookedFor {
public:
    // filter must outlive it.
    explicit QueryInBytes(const WordFilter& filter);
    bool mayBeIn(const unsigned char* bytes, std::size_t length, TextKind kind) const override;

private:
    const WordFilter& filter;
    bool onlyAscii;
    mutable CutLook looks[2];  // of web pages and of rich text, each once asked about
    mutable bool made[2] = {false, false};
};
