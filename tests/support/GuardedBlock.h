// Heap blocks of exactly the size asked for. AddressSanitizer poisons the bytes on either
// side of a heap block, so code handed one of these is caught touching even one byte past
// its end, which a stack array or a std::string with spare room would hide.
#pragma once
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>

// A block of exactly `size` bytes, every one set to fill. A size of 0 is a real, empty block.
class GuardedBlock {
public:
    GuardedBlock(std::size_t size, char fill) : blockSize(size), bytes(new char[size])
    {
        std::memset(bytes.get(), fill, size);
    }

    char* data() { return bytes.get(); }
    const char* data() const { return bytes.get(); }
    std::size_t size() const { return blockSize; }
    std::string contents() const { return std::string(bytes.get(), blockSize); }

private:
    std::size_t blockSize;
    std::unique_ptr<char[]> bytes;
};

// A zero-terminated copy of text (which may hold zero bytes of its own) in a block that
// ends right after its terminator.
class GuardedText {
public:
    explicit GuardedText(const std::string& text) : block(text.size() + 1, '\0')
    {
        std::memcpy(block.data(), text.data(), text.size());
    }

    char* get() { return block.data(); }
    const char* get() const { return block.data(); }

private:
    GuardedBlock block;
};
