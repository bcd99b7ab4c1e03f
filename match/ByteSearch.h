// Finding one byte value in a run of bytes, 16 bytes at a time where the build allows: the
// reads look for line feeds and Ctrl+Z, the count for zero bytes.
#pragma once
#include <cstddef>

// Index of the first byte equal to value in text[0, length), or length when there is none.
std::size_t findByte(const char* text, std::size_t length, unsigned char value);
