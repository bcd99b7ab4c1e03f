// Where the bytes of a text come from: a file stream in the program, memory in the tests.
#pragma once
#include <cstddef>
#include <cstdint>

class ByteSource {
public:
    // Copies up to count bytes into into and returns how many. Returning fewer than count
    // means the stream has ended (or failed, which ends it the same way).
    virtual std::size_t read(char* into, std::size_t count) = 0;

    // The bytes the stream holds from its start, where that is known without reading; else 0.
    // Only a guess to size memory by: read alone says where the stream ends.
    virtual std::uint64_t sizeHint() const { return 0; }

protected:
    ~ByteSource() = default;
};
