#include "panel/RunBatch.h"

#include <cstdio>
#include <cstring>

bool RunBatch::add(const char* run, unsigned long colour)
{
    int index = 0;  // \cf0 is the automatic colour
    if (colour != 0) {
        while (index < colours && table[index] != colour)
            ++index;
        if (index == MAX_COLOURS)
            return false;
        ++index;
    }
    // Every byte takes at most five characters; the colour switch at most six.
    std::size_t runLength = std::strlen(run);
    if (length + 6 + 5 * runLength >= CAPACITY)
        return false;
    if (colour != 0 && index > colours)
        table[colours++] = colour;

    length += static_cast<std::size_t>(std::snprintf(text + length, CAPACITY - length, "\\cf%d ", index));
    for (std::size_t i = 0; i < runLength; ++i) {
        unsigned char c = static_cast<unsigned char>(run[i]);
        if (c == '\\' || c == '{' || c == '}') {
            text[length++] = '\\';
            text[length++] = static_cast<char>(c);
        } else if (c == '\n' || c == '\r') {
            // As Unicode characters these go in exactly as a plain insertion puts them,
            // where the paragraph keyword or a hex escape would not.
            length += static_cast<std::size_t>(std::snprintf(text + length, CAPACITY - length, "\\u%d?", c));
        } else if (c < 0x20 || c >= 0x7F) {
            length += static_cast<std::size_t>(std::snprintf(text + length, CAPACITY - length, "\\'%02x", c));
        } else {
            text[length++] = static_cast<char>(c);
        }
    }
    text[length] = '\0';
    return true;
}

void RunBatch::clear()
{
    length = 0;
    colours = 0;
    text[0] = '\0';
}
