// The cases marked Guarded hand the code texts that end exactly at their terminator and
// destinations that end exactly at their capacity (support/GuardedBlock.h): in the sanitizer
// build (fuzz) one byte read or written too far fails them even when the result looks
// right. This file needs no <windows.h>, so it runs there as well as under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "match/WordRules.h"
#include "support/GuardedBlock.h"
#include "support/Letters1252.h"

namespace {

TEST(WordRules, WordsAreRunsOfTheCodePagesLettersAndDigits)
{
    ScopedWordTable letters(wordTable1252());
    const struct {
        const char* text;
        std::vector<std::string> words;
    } cases[] = {
        {"foo_bar", {"foo", "bar"}},
        {"  abc123, x-y.", {"abc123", "x", "y"}},
        {"caf\xe9 na\xefve r\xe9sum\xe9", {"caf\xe9", "na\xefve", "r\xe9sum\xe9"}},
        {"\x01\x7f\x80\xff", {"\xff"}},
        {"", {}},
        {"...", {}},
        {"A", {"A"}},
        // A letter from each range, and the symbol beside it.
        {"\x83\x84\x8a\x8b\x9c\x9d\x9f\xa0\xaa\xab\xb5\xb6\xba\xbb",
         {"\x83", "\x8a", "\x9c", "\x9f", "\xaa", "\xb5", "\xba"}},
        {"\xbf\xc0\xd6\xd7\xd8\xdf\xf6\xf7\xf8\xff", {"\xc0\xd6", "\xd8\xdf\xf6", "\xf8\xff"}},
        {"\x80 \xa2\xa3\xa4\xa5 \xa9\xae\xb1\xbc \x96\x97\x85", {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> words;
        for (const char* w = firstWord(c.text); w != nullptr; w = nextWord(w))
            words.emplace_back(w, static_cast<std::size_t>(wordLength(w)));
        EXPECT_EQ(c.words, words) << "in '" << c.text << "'";
    }
}

TEST(WordRules, QueryWordMatchesWholeWordOrInsideIt)
{
    ScopedWordTable letters(wordTable1252());
    const struct {
        const char* query;
        const char* line;
        bool anywhere;  // wholeWordsOnly 0
        bool whole;     // wholeWordsOnly 1
    } cases[] = {
        {"cat", "cat", true, true},           {"cat", "concatenate", true, false},
        {"cat", "cats", true, false},         {"cats", "cat", false, false},
        {"123", "abc123", true, false},       {"abc", "abc123", true, false},
        {"cat", "CAT", false, false},         {"a", "b", false, false},
        {"ana", "banana", true, false},       {"nan", "banana", true, false},
        {"aab", "aaab", true, false},         {"caf\xe9", "cafeteria", false, false},
        {"caf\xe9", "caf\xe9s", true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.anywhere, wordMatches(c.query, c.line, false)) << c.query << " in " << c.line;
        EXPECT_EQ(c.whole, wordMatches(c.query, c.line, true)) << c.query << " in " << c.line;
        QueryWords words;
        ASSERT_TRUE(words.parse(c.query));
        EXPECT_EQ(c.anywhere, words.anyMatches(c.line, wordLength(c.line), false));
        EXPECT_EQ(c.whole, words.anyMatches(c.line, wordLength(c.line), true));
    }
}

TEST(GuardedWordRules, WordsEndingAtTheTerminatorAreReadNoFurther)
{
    GuardedText line("  alpha beta");
    GuardedText onlySeparators(" ,.-_\x80\xff");
    GuardedText query("ta");

    EXPECT_EQ(nullptr, firstWord(onlySeparators.get()));
    const char* beta = nextWord(firstWord(line.get()));
    ASSERT_NE(nullptr, beta);
    EXPECT_EQ(4, wordLength(beta));
    EXPECT_EQ(nullptr, nextWord(beta));
    EXPECT_TRUE(wordMatches(query.get(), beta, false));
    EXPECT_FALSE(wordMatches(query.get(), beta, true));
    EXPECT_EQ(1, countMatchingWords(query.get(), beta, false));

    QueryWords words;
    ASSERT_TRUE(words.parse(query.get()));
    EXPECT_TRUE(words.anyMatches(beta, 4, false));
}

TEST(WordRules, CapitalsFoldAsTheCodePageLowersThem)
{
    ScopedWordTable letters(wordTable1252());
    const struct {
        const char* text;
        const char* folded;
    } cases[] = {
        {"CAF\xc9 Caf\xe9", "caf\xe9 caf\xe9"},
        {"\x8a\x8c\x8e\x9f \xc0\xd6\xd8\xde", "\x9a\x9c\x9e\xff \xe0\xf6\xf8\xfe"},
        {"\xdf\xb5\xaa\xba\x83 \xd7\xf7\xa5_Z", "\xdf\xb5\xaa\xba\x83 \xd7\xf7\xa5_z"},
    };
    for (const auto& c : cases) {
        GuardedText text(c.text);
        foldInPlace(text.get());
        EXPECT_EQ(std::string(c.folded), std::string(text.get())) << c.text;
    }
}

}  // namespace
