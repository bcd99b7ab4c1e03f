// A text in memory handed out as a stream hands out a file's bytes. Header-only and free of
// <windows.h>, so the fuzz build uses it too.
#pragma once
#include <algorithm>
#include <cstring>
#include <string>

#include "text/ByteSource.h"

class MemoryBytes : public ByteSource {
public:
    // bytes must outlive the source.
    explicit MemoryBytes(const std::string& bytes) : bytes(bytes) {}
    std::size_t read(char* into, std::size_t count) override
    {
        std::size_t n = std::min(count, bytes.size() - at);
        std::memcpy(into, bytes.data() + at, n);
        at += n;
        return n;
    }
    std::uint64_t sizeHint() const override { return bytes.size(); }

private:
    const std::string& bytes;
    std::size_t at = 0;
};
