// The word table the program makes at start-up from the system's code page: run under 1252
// and again under 1250 (ctest's match_view_code_page_1250).
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/CodePageLetters.h"
#include "support/Letters1252.h"

namespace {

// 1250's letters and digits from 0x80 up, and its capitals with their small letters.
const char LETTERS_1250[] = "\x8a\x8c\x8d\x8e\x8f\x9a\x9c\x9d\x9e\x9f\xa1\xa3\xa5\xaa\xaf\xb3\xb5\xb9\xba\xbc\xbe\xbf"
                            "\xc0\xc1\xc2\xc3\xc4\xc5\xc6\xc7\xc8\xc9\xca\xcb\xcc\xcd\xce\xcf"
                            "\xd0\xd1\xd2\xd3\xd4\xd5\xd6\xd8\xd9\xda\xdb\xdc\xdd\xde\xdf"
                            "\xe0\xe1\xe2\xe3\xe4\xe5\xe6\xe7\xe8\xe9\xea\xeb\xec\xed\xee\xef"
                            "\xf0\xf1\xf2\xf3\xf4\xf5\xf6\xf8\xf9\xfa\xfb\xfc\xfd\xfe";
const char CAPITALS_1250[] = "\x8a\x8c\x8d\x8e\x8f\xa3\xa5\xaa\xaf\xbc\xc0\xc1\xc2\xc3\xc4\xc5\xc6\xc7\xc8\xc9\xca\xcb"
                             "\xcc\xcd\xce\xcf\xd0\xd1\xd2\xd3\xd4\xd5\xd6\xd8\xd9\xda\xdb\xdc\xdd\xde";
const char SMALLS_1250[] = "\x9a\x9c\x9d\x9e\x9f\xb3\xb9\xba\xbf\xbe\xe0\xe1\xe2\xe3\xe4\xe5\xe6\xe7\xe8\xe9\xea\xeb"
                           "\xec\xed\xee\xef\xf0\xf1\xf2\xf3\xf4\xf5\xf6\xf8\xf9\xfa\xfb\xfc\xfd\xfe";

TEST(CodePageLetters, TheTableIsTheSystemCodePagesLettersAndCapitals)
{
    UINT page = GetACP();
    WordTable expected;
    if (page == 1252)
        expected = wordTable1252();
    else if (page == 1250)
        expected = wordTableOf(LETTERS_1250, CAPITALS_1250, SMALLS_1250);
    else
        GTEST_SKIP() << "no table written out for code page " << page;
    WordTable table = systemWordTable();
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(expected.word[c], table.word[c]) << "byte " << std::hex << c << " in " << std::dec << page;
        EXPECT_EQ(expected.lower[c], table.lower[c]) << "byte " << std::hex << c << " in " << std::dec << page;
    }
}

}  // namespace
