// ASCII's letters and digits alone, for what is ASCII by definition: the endings of file names,
// the names of a compound file's streams, markup's control words, and the words of a search
// where case does not count.
#pragma once

inline bool isAsciiLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline bool isAsciiDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

inline bool isAsciiLetterOrDigit(unsigned char c)
{
    return isAsciiLetter(c) || isAsciiDigit(c);
}

inline char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
