// The lines a text is scanned in, and the cutter that hands them out. Free of <windows.h>,
// so it builds natively as well.
//
// The matcher goes through a file's text (text/FileText.h) in one of two ways, and both
// must come to the same count:
//   - line by line, to render it: the text with its line ends joined, handed out by
//     ReadCutter in pieces, each line's pieces taken by a LineScan (match/LineScan.h);
//   - as a count only: the same text, but with carriage returns where it costs nothing to
//     keep them (rule 3), counted a block at a time by countStreamMatches
//     (search/StreamScan.h), which never copies a line out.
// The rules below are what both keep. Each names where each path keeps it (the count's
// functions are in search/StreamScan.cpp); a change to a rule is a change in both places.
//   1. The text is the same for both: FileText decides how the file is read, once, and a
//      Ctrl+Z (0x1A) is an ordinary byte that ends nothing. Both: FileText::read.
//   2. A line ends after a line feed, or where the text ends; however long, it is one line.
//      Line by line: the matcher ends a line at the piece that ends in a line feed.
//      Count: lineStartOf, from the last line feed before a word.
//   3. A carriage return before a line feed is gone from the joined text; a count's may keep
//      it (text/FileText.h). It separates words either way and the lines begin at the same
//      offsets, so no word changes.
//   4. A line is looked at only up to its first zero byte. Line by line: LineScan::take.
//      Count: accountUpTo notes the zero, judgeWordAt passes over the rest of the line.
//   5. A word (isWordChar, match/WordTable.h) is a whole run of word characters, whatever
//      pieces or blocks it arrives in; one longer than LONGEST_QUERY_WORD (match/WordRules.h)
//      matches only by holding a query word, never as a whole word. Line by line: LineScan
//      holds a word across pieces. Count: judgeWordAt, and skipJudgedWord for a word that
//      runs on beyond a block.
//   6. Whether case counts is read once per line, whether whole words only for every word
//      compared; a word is compared by QueryWords::anyMatches, folded by foldByte
//      (match/WordTable.h) when case does not count. Line by line: LineScan. Count:
//      judgeWordAt.
#pragma once
#include <cstddef>

class ByteSource;

// Smallest block buffer the cutter and the count accept: a block keeps a long word's worth
// of bytes from the previous one, and must still have room to take in new bytes.
const std::size_t STREAM_BLOCK_MINIMUM = 8 * 1024;

// Some bytes of one line, in the cutter's buffer until the next call.
struct LinePiece {
    const char* bytes = nullptr;
    std::size_t length = 0;
    // Whether the piece ends in a line feed, and so ends its line. A line without one ends
    // where the text does.
    bool endsLine() const { return length > 0 && bytes[length - 1] == '\n'; }
};

// Hands out a stream's lines in pieces, from blocks kept in the caller's buffer: a piece ends
// after a line feed or where the bytes in hand do, so a line longer than the buffer comes in
// several pieces (rule 2).
class ReadCutter {
public:
    // buffer holds capacity bytes, at least STREAM_BLOCK_MINIMUM.
    ReadCutter(ByteSource& source, char* buffer, std::size_t capacity);

    // The next piece, never empty. Returns false when the stream has no more bytes.
    bool next(LinePiece& piece);

private:
    ByteSource& source;
    char* buffer;
    std::size_t capacity;
    std::size_t position = 0;
    std::size_t end = 0;
    bool atEnd = false;
};
