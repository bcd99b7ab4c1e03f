#include "platform/CodePageLetters.h"

#include <windows.h>

WordTable systemWordTable()
{
    bool letters[128];
    unsigned char lowers[128];
    for (int i = 0; i < 128; ++i) {
        char byte = static_cast<char>(0x80 + i);
        letters[i] = IsCharAlphaNumericA(byte) != FALSE;
        char lowered[1] = {byte};
        CharLowerBuffA(lowered, 1);
        lowers[i] = static_cast<unsigned char>(lowered[0]);
    }
    return codePageWordTable(letters, lowers);
}
