// Where the bytes of a text come from: a file stream in the program, memory in the tests.
// Free of <windows.h>, so it builds natively as well.
#pragma once
#include <atomic>
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

// A file's text, in either of the two ways the matcher opens a file (the read rules in
// search/ReadCutter.h say why both give the same words):
//   TEXT_MODE ("r"), to render it line by line: the runtime drops the carriage return before
//     each line feed and ends the text at the first Ctrl+Z (0x1A).
//   BINARY ("rb"), only to count: the text ends at the first Ctrl+Z here, as in text mode.
//     Carriage returns are left in: both they and line feeds separate words, and the reads
//     of a line begin at the same offsets, so the words stay the same (read rule 3).
class FileTextBytes : public ByteSource {
public:
    enum Mode { TEXT_MODE, BINARY };
    // The mode argument of fopen for mode.
    static const char* openMode(Mode mode) { return mode == BINARY ? "rb" : "r"; }

    // file was opened with openMode(mode). With keepGoing, the text ends early once it is
    // found 0, looked at before every read: a file that never ends (a device behind a link,
    // a pipe, a file another program keeps growing) still ends when the search is stopped.
    FileTextBytes(std::FILE* file, Mode mode, const std::atomic<int>* keepGoing = nullptr)
        : file(file), mode(mode), keepGoing(keepGoing)
    {
    }
    std::size_t read(char* into, std::size_t count) override;
    // Whether the text ended because keepGoing was found 0.
    bool abandoned() const { return gaveUp; }

private:
    std::FILE* file;
    Mode mode;
    const std::atomic<int>* keepGoing;
    bool ended = false;
    bool gaveUp = false;
};
