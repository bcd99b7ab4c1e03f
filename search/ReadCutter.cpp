#include "search/ReadCutter.h"

#include <cstring>

#include "match/ByteSearch.h"
#include "text/ByteSource.h"

ReadCutter::ReadCutter(ByteSource& source, char* buffer, std::size_t capacity)
    : source(source), buffer(buffer), capacity(capacity)
{
}

bool ReadCutter::next(char (&line)[READ_LIMIT + 1])
{
    for (;;) {
        std::size_t available = end - position;
        std::size_t window = available < READ_LIMIT ? available : READ_LIMIT;
        std::size_t newline = findByte(buffer + position, window, '\n');
        std::size_t length;
        if (newline < window) {
            length = newline + 1;
        } else if (available >= READ_LIMIT) {
            length = READ_LIMIT;
        } else if (atEnd) {
            if (available == 0)
                return false;
            length = available;
        } else {
            // Not a whole read in hand: move the rest to the front and take in more.
            std::memmove(buffer, buffer + position, available);
            position = 0;
            end = available;
            std::size_t wanted = capacity - end;
            std::size_t got = source.read(buffer + end, wanted);
            end += got;
            atEnd = got < wanted;
            continue;
        }
        std::memcpy(line, buffer + position, length);
        line[length] = '\0';
        position += length;
        return true;
    }
}
