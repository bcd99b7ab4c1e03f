#include "match/WordTable.h"

namespace {

bool isAsciiWordChar(int c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

void fillCaseBits(WordTable& table)
{
    for (int c = 0; c < 256; ++c) {
        unsigned char bits = 0;
        for (int other = 0; other < 256; ++other) {
            if (table.lower[other] == table.lower[c])
                bits = static_cast<unsigned char>(bits | (other ^ c));
        }
        table.caseBits[c] = bits;
    }
}

}  // namespace

WordTable asciiWordTable()
{
    WordTable table;
    for (int c = 0; c < 256; ++c) {
        table.word[c] = isAsciiWordChar(c);
        table.lower[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    fillCaseBits(table);
    return table;
}

WordTable codePageWordTable(const bool (&letters)[128], const unsigned char (&lowers)[128])
{
    WordTable table = asciiWordTable();
    for (int c = 0x80; c < 256; ++c)
        table.word[c] = letters[c - 0x80];
    for (int c = 0x80; c < 256; ++c) {
        unsigned char lower = lowers[c - 0x80];
        // A letter folds only into another letter from 0x80 up, never into ASCII or a separator.
        table.lower[c] = table.word[c] && lower >= 0x80 && table.word[lower] ? lower : static_cast<unsigned char>(c);
    }
    fillCaseBits(table);
    return table;
}

WordTable wordTable = asciiWordTable();
