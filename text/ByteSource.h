// Where the bytes of a text come from: a file stream in the program, memory in the tests.
#pragma once
#include <cstddef>

class ByteSource {
public:
    // Copies up to count bytes into into and returns how many. Returning fewer than count
    // means the stream has ended (or failed, which ends it the same way).
    virtual std::size_t read(char* into, std::size_t count) = 0;

protected:
    ~ByteSource() = default;
};
