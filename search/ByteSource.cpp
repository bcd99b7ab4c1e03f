#include "search/ByteSource.h"

#include "search/ByteSearch.h"

std::size_t TextModeBytes::read(char* into, std::size_t count) {
    return std::fread(into, 1, count, file);
}

std::size_t BinaryTextBytes::read(char* into, std::size_t count) {
    if (ended)
        return 0;
    std::size_t got = std::fread(into, 1, count, file);
    std::size_t stop = findByte(into, got, 0x1A);
    if (stop < got)
        ended = true;
    return stop;
}
