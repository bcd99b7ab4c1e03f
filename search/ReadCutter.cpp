#include "search/ReadCutter.h"

#include <cstring>

#include "match/ByteSearch.h"
#include "text/ByteSource.h"

ReadCutter::ReadCutter(ByteSource& source, char* buffer, std::size_t capacity)
    : source(source), buffer(buffer), capacity(capacity)
{
}

bool ReadCutter::next(LinePiece& piece)
{
    for (;;) {
        std::size_t available = end - position;
        std::size_t newline = findByte(buffer + position, available, '\n');
        std::size_t length = 0;
        if (newline < available)
            length = newline + 1;
        else if (atEnd || available == capacity)
            length = available;  // the text's end, or a buffer full of one line
        if (length > 0) {
            piece.bytes = buffer + position;
            piece.length = length;
            position += length;
            return true;
        }
        if (atEnd)
            return false;
        // No line end in hand: move the rest to the front and take in more.
        std::memmove(buffer, buffer + position, available);
        position = 0;
        end = available;
        std::size_t wanted = capacity - end;
        std::size_t got = source.read(buffer + end, wanted);
        end += got;
        atEnd = got < wanted;
    }
}
