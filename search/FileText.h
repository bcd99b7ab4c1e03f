// How a file's bytes become the single-byte text the matcher reads, decided once for each
// file from its first block, for the walk's count and the view alike. Free of <windows.h>
// (the code page is reached through search/CodePage.h), so the sanitizer build checks it.
//
// The kinds, tried in this order:
//   UTF16_LE, UTF16_BE  the file starts with a UTF-16 byte-order mark;
//   UTF8                it starts with a UTF-8 mark, or its first block is valid UTF-8 that
//                       holds characters beyond ASCII; a later sequence that is not valid
//                       UTF-8 is taken as one ANSI byte for each of its bytes;
//   WORD_DOCUMENT       the caller allows it (a ".doc" file), the file is a compound file and
//                       readWordText (search/WordText.h) reads it;
//   BYTES               anything else, byte for byte.
// Characters go into the ANSI code page (unitsToAnsi); the byte-order mark itself is left out.
// A Ctrl+Z is an ordinary byte of every kind: it ends nothing.
//
// The text's line ends: a carriage return before a line feed is left out of every decoded
// kind, and of BYTES when joinLineEnds is asked for (to render: the view shows a line feed).
// A count takes BYTES with the carriage returns in: both separate words, and the reads of a
// line begin at the same offsets (search/ReadCutter.h, rule 3).
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "search/ByteSource.h"

class FileText final : public ByteSource {
public:
    // A Word document is read whole; one larger than this is read as its bytes instead.
    static const std::size_t LARGEST_DOCUMENT = 256u * 1024 * 1024;

    // file was opened in binary mode ("rb"). With keepGoing, the text ends early once it is
    // found 0, looked at before every read: a file that never ends (a device behind a link,
    // a pipe, a file another program keeps growing) still ends when the search is stopped.
    FileText(std::FILE* file, bool joinLineEnds, bool mayBeDocument, const std::atomic<int>* keepGoing = nullptr);
    // The kind is decided from the bytes the first read takes in: a first read of a block
    // (search/ReadCutter.h's STREAM_BLOCK_MINIMUM at least) sees the start of a document.
    std::size_t read(char* into, std::size_t count) override;

    // Whether the text ended because keepGoing was found 0.
    bool abandoned() const { return gaveUp; }

private:
    std::size_t readFile(char* into, std::size_t count);
    void decide(const char* head, std::size_t length);
    void readDocument(const char* head, std::size_t length);
    void decodeMore();
    void decodeUtf16(const unsigned char* bytes, std::size_t length);
    void decodeUtf8(const unsigned char* bytes, std::size_t length);
    void putUnit(char16_t unit);
    void putByte(char byte);
    void flushUnits();
    std::size_t takePending(char* into, std::size_t count);
    void startDecoding(const char* bytes, std::size_t length);

    std::FILE* file;
    bool joinLineEnds;
    bool mayBeDocument;
    const std::atomic<int>* keepGoing;
    enum Kind { UNDECIDED, BYTES, UTF16_LE, UTF16_BE, UTF8, WORD_DOCUMENT } textKind = UNDECIDED;
    bool fileEnded = false;
    bool gaveUp = false;
    bool carriageReturnHeld = false;  // the text so far ends in a CR that may come before a LF

    std::vector<char> raw;       // undecoded bytes of the file, for the decoded kinds
    std::size_t carried = 0;     // bytes at raw's start left from the last block
    std::u16string units;        // characters not yet put into the code page
    char16_t highSurrogate = 0;  // the first half of a pair, waiting for its second
    std::vector<char> pending;   // text ready to hand out, from pendingAt on
    std::size_t pendingAt = 0;
};
