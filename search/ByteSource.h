// Where the bytes of a text come from: a file stream in the program, memory in the tests.
// The two file sources here are the two ways the matcher opens a file; the read rules in
// search/ReadCutter.h say why both give the same words. Free of <windows.h>.
#pragma once
#include <cstddef>
#include <cstdio>

class ByteSource {
public:
    // Copies up to count bytes into into and returns how many. Returning fewer than count
    // means the stream has ended (or failed, which ends it the same way).
    virtual std::size_t read(char* into, std::size_t count) = 0;

protected:
    ~ByteSource() = default;
};

// A file opened in text mode ("r"), as the line-by-line matcher reads it: the runtime drops
// the carriage return before each line feed and ends the text at the first Ctrl+Z (0x1A).
class TextModeBytes : public ByteSource {
public:
    explicit TextModeBytes(std::FILE* file) : file(file) {}
    std::size_t read(char* into, std::size_t count) override;

private:
    std::FILE* file;
};

// A file opened in binary mode ("rb"), seen as its text-mode reads would see it as far as
// matching words goes: the text ends at the first Ctrl+Z, as it does in text mode. Carriage
// returns are left in: text mode drops the one before each line feed, but both separate words
// and the reads of a line begin at the same offsets, so the words stay the same (read rule 3).
class BinaryTextBytes : public ByteSource {
public:
    explicit BinaryTextBytes(std::FILE* file) : file(file) {}
    std::size_t read(char* into, std::size_t count) override;

private:
    std::FILE* file;
    bool ended = false;
};
