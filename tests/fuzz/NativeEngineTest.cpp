// Boundary cases that only the sanitizer build can judge: each text ends exactly at its
// terminator and each destination exactly at its capacity, so one byte read or written too
// far fails the test even when the result looks right.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "GuardedBlock.h"
#include "search/LineScan.h"
#include "search/SearchState.h"
#include "search/TextBuffer.h"
#include "search/ViewSink.h"
#include "search/WordRules.h"

namespace {

enum class Copy { Text, Slice, Append, Join };

struct CopyCase {
    Copy copy;
    std::size_t cap;
    const char* first;   // copyText/copySlice: the source; appendString: what dst holds; joinPath: dir
    const char* second;  // appendString: what is appended; joinPath: the name
    std::size_t count;   // copySlice only
    const char* expected;  // nullptr: refused
};

TEST(GuardedCopies, EveryCopyStopsAtTheLastByteOfItsCapacity)
{
    const CopyCase cases[] = {
        {Copy::Text, 0, "", nullptr, 0, nullptr},
        {Copy::Text, 1, "", nullptr, 0, ""},
        {Copy::Text, 4, "abc", nullptr, 0, "abc"},
        {Copy::Text, 3, "abc", nullptr, 0, nullptr},
        {Copy::Slice, 0, "abc", nullptr, 0, nullptr},
        {Copy::Slice, 1, "abc", nullptr, 0, ""},
        {Copy::Slice, 3, "abcdef", nullptr, 3, nullptr},
        {Copy::Slice, 4, "abcdef", nullptr, 3, "abc"},
        {Copy::Slice, 3, "ab", nullptr, 1000, "ab"},  // the source's terminator ends it first
        {Copy::Append, 4, "ab", "c", 0, "abc"},
        {Copy::Append, 4, "ab", "cd", 0, nullptr},
        {Copy::Append, 3, "abc", "", 0, nullptr},  // dst has no terminator within its capacity
        {Copy::Join, 5, "D:", "x", 0, "D:\\x"},
        {Copy::Join, 4, "D:", "x", 0, nullptr},
        {Copy::Join, 5, "D:\\", "x", 0, "D:\\x"},  // no second separator
        {Copy::Join, 4, "D:\\", "x", 0, nullptr},
        {Copy::Join, 2, "", "x", 0, nullptr},
        {Copy::Join, 3, "", "x", 0, "\\x"},
    };
    for (const CopyCase& c : cases) {
        SCOPED_TRACE("cap " + std::to_string(c.cap) + ", '" + c.first + "'" +
                     (c.second != nullptr ? std::string(" + '") + c.second + "'" : std::string()));
        GuardedBlock destination(c.cap, '#');
        GuardedText first(c.first);
        GuardedText second(c.second != nullptr ? c.second : "");
        bool fitted = false;
        switch (c.copy) {
        case Copy::Text:
            fitted = copyText(destination.data(), c.cap, first.get());
            break;
        case Copy::Slice:
            fitted = copySlice(destination.data(), c.cap, first.get(), c.count);
            break;
        case Copy::Append:
            std::memcpy(destination.data(), c.first, std::min(c.cap, std::strlen(c.first) + 1));
            fitted = appendString(destination.data(), c.cap, second.get());
            break;
        case Copy::Join:
            fitted = joinPath(destination.data(), c.cap, first.get(), second.get());
            break;
        }
        EXPECT_EQ(c.expected != nullptr, fitted);
        if (fitted && c.expected != nullptr)
            EXPECT_EQ(std::string(c.expected), std::string(destination.data()));
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
        if (cap > 0)
            EXPECT_EQ(std::string("abcdef", expected), std::string(folded.data())) << "cap " << cap;
    }
}

class RecordingView final : public ViewSink {
public:
    void clearView() override {}
    void appendText(const char* text, unsigned long colour) override { runs.push_back({text, colour}); }
    std::vector<std::pair<std::string, unsigned long>> runs;
};

// A full read of 1023 bytes: the last word ends at the last byte before the terminator, in a
// line block and scratch buffers that have no byte to spare.
TEST(GuardedLineScan, AFullReadEndingInAMatchStaysInsideItsBuffers)
{
    const std::string line = std::string(1018, '.') + "Tail1";
    ASSERT_EQ(LINE_SCAN_CAPACITY - 1, line.size());
    GuardedText guardedLine(line);
    GuardedBlock folded(LINE_SCAN_CAPACITY, '#');
    GuardedBlock piece(LINE_SCAN_CAPACITY, '#');
    LineScratch scratch{folded.data(), piece.data()};

    for (int caseSensitive = 0; caseSensitive <= 1; ++caseSensitive) {
        searchOptions.caseSensitive.store(caseSensitive);
        searchOptions.wholeWordsOnly.store(1);
        GuardedText query(caseSensitive ? "Tail1" : "tail1");
        QueryWords words;
        ASSERT_TRUE(words.parse(query.get()));
        const QueryWords* ways[] = {nullptr, &words};
        for (const QueryWords* cut : ways) {
            RecordingView view;
            EXPECT_EQ(1, scanLine(guardedLine.get(), 9, query.get(), cut, &view, scratch));
            ASSERT_EQ(4u, view.runs.size());
            EXPECT_EQ("9) ", view.runs[0].first);
            EXPECT_EQ(line.substr(0, 1018), view.runs[1].first);
            EXPECT_EQ("Tail1", view.runs[2].first);
            EXPECT_EQ(0x0000FFul, view.runs[2].second) << "red";
            EXPECT_EQ("", view.runs[3].first);
        }
    }
    searchOptions.caseSensitive.store(0);
    searchOptions.wholeWordsOnly.store(0);
}

} // namespace
