// The integers of the binary formats the program reads (compound files, Word documents):
// little-endian, read a byte at a time, so any alignment will do. The caller has checked
// that the bytes lie inside what it holds.
#pragma once
#include <cstdint>

inline std::uint16_t read16(const unsigned char* at)
{
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

inline std::uint32_t read32(const unsigned char* at)
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}
