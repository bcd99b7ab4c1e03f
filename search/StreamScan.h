// Reading a text stream in large blocks while treating it exactly as a line-at-a-time
// reader would see it: as a sequence of reads of at most READ_LIMIT bytes, each ending
// after a line feed or where its READ_LIMIT bytes run out (what fgets with a 1024-byte
// buffer returns, call after call). Free of <windows.h>, so it builds natively as well.
#pragma once
#include <cstddef>
#include <cstdio>

#include "search/WordRules.h"

const std::size_t READ_LIMIT = 1023; // bytes one read can hold, not counting its terminator

// Smallest block buffer the functions below accept: a block keeps up to two reads' worth of
// bytes from the previous one, and must still have room to take in new bytes.
const std::size_t STREAM_BLOCK_MINIMUM = 8 * 1024;

// Where the bytes come from: a file stream in the program, memory in the tests.
class ByteSource {
public:
    // Copies up to count bytes into into and returns how many. Returning fewer than count
    // means the stream has ended (or failed, which ends it the same way).
    virtual std::size_t read(char* into, std::size_t count) = 0;

protected:
    ~ByteSource() = default;
};

// A file opened in binary mode, seen as its text-mode reads would see it as far as matching
// words goes: the text ends at the first Ctrl+Z (0x1A), as it does in text mode. Carriage
// returns are left in: text mode drops the one before each line feed, but both separate
// words, and a read never ends between the two, so the words and their reads stay the same.
class BinaryTextBytes : public ByteSource {
public:
    explicit BinaryTextBytes(std::FILE* file) : file(file) {}
    std::size_t read(char* into, std::size_t count) override;

private:
    std::FILE* file;
    bool ended = false;
};

// Index of the first byte equal to value in text[0, length), or length when there is none.
std::size_t findByte(const char* text, std::size_t length, unsigned char value);

// Hands out a stream's reads one at a time, from blocks kept in the caller's buffer.
class ReadCutter {
public:
    ReadCutter(ByteSource& source, char* buffer, std::size_t capacity);

    // Copies the next read into line, which holds READ_LIMIT + 1 bytes, and terminates it.
    // Returns false, leaving line alone, when the stream has no more bytes.
    bool next(char* line);

private:
    ByteSource& source;
    char* buffer;
    std::size_t capacity;
    std::size_t position = 0;
    std::size_t end = 0;
    bool atEnd = false;
};

// The processor features the count may use, from the least to the most. By default it uses
// all that the processor has; the tests lower the limit to run every kind of scan.
enum class ScanFeatures { BYTES, SSE2, SSSE3, AVX2 };
void limitScanFeatures(ScanFeatures most);

// Counts the matching line words of the whole stream, read after read, with the same answer
// that scanLine gives summed over the reads, and with the options read as it reads them:
// caseSensitive once for a read, wholeWordsOnly for every line word that is compared.
// Instead of comparing every line word, it first looks for places where some query word
// could begin (its first and last bytes, in either case), and compares only the line words
// that hold such a place. capacity is at least STREAM_BLOCK_MINIMUM. The stream is always
// read to its end, even when words has no word and nothing can match.
int countStreamMatches(ByteSource& source, const QueryWords& words, char* buffer, std::size_t capacity);
