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

namespace {

TEST(WordRules, WordsAreRunsOfAsciiLettersAndDigits)
{
    const struct {
        const char* text;
        std::vector<std::string> words;
    } cases[] = {
        {"foo_bar", {"foo", "bar"}},
        {"  abc123, x-y.", {"abc123", "x", "y"}},
        {"caf\xe9 na\xefve", {"caf", "na", "ve"}},
        {"\x01\x7f\x80\xff", {}},
        {"", {}},
        {"...", {}},
        {"A", {"A"}},
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
    const struct {
        const char* query;
        const char* line;
        bool anywhere;  // wholeWordsOnly 0
        bool whole;     // wholeWordsOnly 1
    } cases[] = {
        {"cat", "cat", true, true},     {"cat", "concatenate", true, false},
        {"cat", "cats", true, false},   {"cats", "cat", false, false},
        {"123", "abc123", true, false}, {"abc", "abc123", true, false},
        {"cat", "CAT", false, false},   {"a", "b", false, false},
        {"ana", "banana", true, false}, {"nan", "banana", true, false},
        {"aab", "aaab", true, false},
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

TEST(GuardedWordRules, FoldingIntoAShortBufferTruncatesInsideIt)
{
    GuardedText line("ABCdef");
    for (std::size_t cap = 0; cap <= 7; ++cap) {
        GuardedBlock folded(cap, '#');
        std::size_t length = foldLine(folded.data(), cap, line.get(), false);
        std::size_t expected = cap == 0 ? 0 : std::min<std::size_t>(cap - 1, 6);
        EXPECT_EQ(expected, length) << "cap " << cap;
        if (cap > 0) {
            EXPECT_EQ(std::string("abcdef", expected), std::string(folded.data())) << "cap " << cap;
        }
    }
}

}  // namespace
