// What words are made of in the program's code page, and how their letters fold when case
// does not count: one entry for each byte value. ASCII's 62 letters and digits are word
// characters in every code page and 'A' to 'Z' fold to 'a' to 'z'; of the bytes from 0x80 up,
// the code page's letters and digits are word characters too, and its capitals fold to their
// small letters. Every other byte separates words and folds to itself.
//
// The program makes its table once, at start-up, from the system's code page
// (platform/CodePageLetters.h), before any search runs; the tests hand in the one they need.
#pragma once

struct WordTable {
    bool word[256];
    unsigned char lower[256];
    // The bits in which the byte differs from the other bytes that fold as it does: with
    // these bits set, every spelling of the letter is one byte value (0x20 for 'A' and 'a').
    unsigned char caseBits[256];
};

// The table with ASCII's letters and digits alone.
WordTable asciiWordTable();

// A table from a code page's own view of its bytes from 0x80 up: letters[b - 0x80] whether b is
// a letter or digit, lowers[b - 0x80] what b lowers to. What would turn a word character into a
// separator or the reverse is left out, so folding never moves a word's edges.
WordTable codePageWordTable(const bool (&letters)[128], const unsigned char (&lowers)[128]);

// The table the word rules use. It is ASCII's until the program (or a test) puts another in
// place, which happens only while no search runs.
extern WordTable wordTable;

inline bool isWordChar(unsigned char c)
{
    return wordTable.word[c];
}

inline unsigned char foldByte(unsigned char c)
{
    return wordTable.lower[c];
}

inline char foldChar(char c)
{
    return static_cast<char>(wordTable.lower[static_cast<unsigned char>(c)]);
}
