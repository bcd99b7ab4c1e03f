#include "search/ByteSource.h"

#include "search/ByteSearch.h"

std::size_t FileTextBytes::read(char* into, std::size_t count)
{
    if (keepGoing != nullptr && keepGoing->load(std::memory_order_relaxed) == 0) {
        gaveUp = true;
        return 0;
    }
    if (mode == TEXT_MODE)
        return std::fread(into, 1, count, file);
    if (ended)
        return 0;
    std::size_t got = std::fread(into, 1, count, file);
    std::size_t stop = findByte(into, got, 0x1A);
    if (stop < got)
        ended = true;
    return stop;
}
