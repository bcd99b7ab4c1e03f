// Letter case of ASCII alone, for what is ASCII by definition: the endings of file names, the
// names of a compound file's streams, and the words of a search where case does not count.
#pragma once

inline char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
