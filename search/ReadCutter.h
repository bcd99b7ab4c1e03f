// The reads a text is scanned in, and the cutter that hands them out. Free of <windows.h>,
// so it builds natively as well.
//
// The matcher goes through a file's text (text/FileText.h) in one of two ways, and both
// must come to the same count:
//   - line by line, to render it: the text with its line ends joined, cut into reads by
//     ReadCutter, each read scanned by scanLine (match/LineScan.h);
//   - as a count only: the same text, but a file's plain bytes with their carriage returns,
//     counted a block at a time by countStreamMatches (search/StreamScan.h), which never
//     copies a read out.
// The read rules below are what both keep. Each names where each path keeps it (the count's
// functions are in search/StreamScan.cpp); a change to a rule is a change in both places.
//   1. The text is the same for both: FileText decides how the file is read, once, and a
//      Ctrl+Z (0x1A) is an ordinary byte that ends nothing. Both: FileText::read.
//   2. A read ends after a line feed or after READ_LIMIT bytes, whichever comes first; the
//      last read takes what is left. So the reads of a line begin right after the line feed
//      before it and then every READ_LIMIT bytes. Line by line: ReadCutter::next. Count:
//      readStartOf, and the read's end in judgeWordAt. Both take READ_LIMIT from here.
//   3. A carriage return before a line feed is gone from the joined text and kept in the
//      plain bytes.
//      It separates words either way and the reads of a line begin at the same offsets, so
//      no word changes: the raw bytes at most have one more read, holding only the line feed.
//   4. A read is looked at only up to its first zero byte. Line by line: scanLine stops at
//      the terminator. Count: accountUpTo notes the zero, judgeWordAt passes over the read.
//   5. A word (isWordChar, match/WordRules.h) never runs on from one read into the next.
//      Line by line: each read is scanned on its own. Count: judgeWordAt ends the word where
//      its read ends, on either side.
//   6. Whether case counts is read once per read, whether whole words only for every word
//      compared; a word is compared by QueryWords::anyMatches, folded by lowerAscii when case
//      does not count. Line by line: scanLine. Count: judgeWordAt.
#pragma once
#include <cstddef>

class ByteSource;

const std::size_t READ_LIMIT = 1023;  // bytes one read can hold, not counting its terminator

// Smallest block buffer the cutter and the count accept: a block keeps up to two reads' worth
// of bytes from the previous one, and must still have room to take in new bytes.
const std::size_t STREAM_BLOCK_MINIMUM = 8 * 1024;

// Hands out a stream's reads one at a time, from blocks kept in the caller's buffer: what
// fgets with a buffer of READ_LIMIT + 1 bytes returns, call after call (rule 2).
class ReadCutter {
public:
    // buffer holds capacity bytes, at least STREAM_BLOCK_MINIMUM.
    ReadCutter(ByteSource& source, char* buffer, std::size_t capacity);

    // Copies the next read into line and terminates it. Returns false, leaving line alone,
    // when the stream has no more bytes.
    bool next(char (&line)[READ_LIMIT + 1]);

private:
    ByteSource& source;
    char* buffer;
    std::size_t capacity;
    std::size_t position = 0;
    std::size_t end = 0;
    bool atEnd = false;
};
