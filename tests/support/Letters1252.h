// Code page 1252's letters and digits from 0x80 up, and its capitals with their small
// letters, written out as the system gives them: the word table of the tests, with or
// without Windows. Header-only, so the native build takes it as well.
#pragma once
#include <cstring>

#include "match/WordTable.h"

// The word characters from 0x80 up.
const char LETTERS_1252[] = "\x83\x88\x8a\x8c\x8e\x9a\x9c\x9e\x9f\xaa\xb2\xb3\xb5\xb9\xba"
                            "\xc0\xc1\xc2\xc3\xc4\xc5\xc6\xc7\xc8\xc9\xca\xcb\xcc\xcd\xce\xcf"
                            "\xd0\xd1\xd2\xd3\xd4\xd5\xd6\xd8\xd9\xda\xdb\xdc\xdd\xde\xdf"
                            "\xe0\xe1\xe2\xe3\xe4\xe5\xe6\xe7\xe8\xe9\xea\xeb\xec\xed\xee\xef"
                            "\xf0\xf1\xf2\xf3\xf4\xf5\xf6\xf8\xf9\xfa\xfb\xfc\xfd\xfe\xff";
// Each capital, and at the same place in SMALLS_1252 the small letter it folds to.
const char CAPITALS_1252[] = "\x8a\x8c\x8e\x9f\xc0\xc1\xc2\xc3\xc4\xc5\xc6\xc7\xc8\xc9\xca\xcb\xcc\xcd\xce\xcf"
                             "\xd0\xd1\xd2\xd3\xd4\xd5\xd6\xd8\xd9\xda\xdb\xdc\xdd\xde";
const char SMALLS_1252[] = "\x9a\x9c\x9e\xff\xe0\xe1\xe2\xe3\xe4\xe5\xe6\xe7\xe8\xe9\xea\xeb\xec\xed\xee\xef"
                           "\xf0\xf1\xf2\xf3\xf4\xf5\xf6\xf8\xf9\xfa\xfb\xfc\xfd\xfe";

// The table of a code page given as its letters from 0x80 up and its capitals with their
// small letters.
inline WordTable wordTableOf(const char* letterBytes, const char* capitals, const char* smalls)
{
    bool letters[128] = {};
    unsigned char lowers[128];
    for (int i = 0; i < 128; ++i)
        lowers[i] = static_cast<unsigned char>(0x80 + i);
    for (const char* at = letterBytes; *at != '\0'; ++at)
        letters[static_cast<unsigned char>(*at) - 0x80] = true;
    for (std::size_t i = 0; capitals[i] != '\0'; ++i)
        lowers[static_cast<unsigned char>(capitals[i]) - 0x80] = static_cast<unsigned char>(smalls[i]);
    return codePageWordTable(letters, lowers);
}

inline WordTable wordTable1252()
{
    return wordTableOf(LETTERS_1252, CAPITALS_1252, SMALLS_1252);
}

// Puts a word table in place for as long as it lives, then the one before it.
class ScopedWordTable {
public:
    explicit ScopedWordTable(const WordTable& table) : before(wordTable) { wordTable = table; }
    ~ScopedWordTable() { wordTable = before; }
    ScopedWordTable(const ScopedWordTable&) = delete;
    ScopedWordTable& operator=(const ScopedWordTable&) = delete;

private:
    WordTable before;
};
