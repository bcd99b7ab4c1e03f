#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/LineMatcher.h"
#include "search/SearchState.h"
#include "search/WordRules.h"
#include "support/BoxWatcher.h"
#include "support/Recorders.h"
#include "support/TempTree.h"

namespace {

// The colours the user must see, as 0x00BBGGRR values; 0 is the control's automatic colour.
const unsigned long AUTO = 0x000000;
const unsigned long BLUE = 0xFF0000;
const unsigned long RED = 0x0000FF;

class LineMatcherTest : public testing::Test {
protected:
    void SetUp() override { resetSharedState(); }
    void TearDown() override { resetSharedState(); }

    // Scans a file holding content and returns the count; the runs land in view.
    int scan(const std::string& content, const char* query, int render = 1)
    {
        tree.file("f.txt", content);
        return matcher.scanFile(tree.path("f.txt").c_str(), query, render);
    }

    TempTree tree;
    RecordingView view;
    LineMatcher matcher{&view};
};

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
        {"cat", "cat", true, true},      {"cat", "concatenate", true, false},
        {"cat", "cats", true, false},    {"cats", "cat", false, false},
        {"123", "abc123", true, false},  {"abc", "abc123", true, false},
        {"cat", "CAT", false, false},    {"a", "b", false, false},
        {"ana", "banana", true, false},  {"nan", "banana", true, false},
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

TEST_F(LineMatcherTest, CountsFollowTheOptions)
{
    const std::string line = "Concatenate the CAT, cat-like.\n";
    const struct {
        int caseSensitive;
        int wholeWordsOnly;
        int count;
    } cases[] = {{0, 0, 3}, {0, 1, 2}, {1, 0, 2}, {1, 1, 1}};
    for (const auto& c : cases) {
        searchOptions.caseSensitive = c.caseSensitive;
        searchOptions.wholeWordsOnly = c.wholeWordsOnly;
        EXPECT_EQ(c.count, scan(line, "cat", 0)) << "case " << c.caseSensitive << " whole " << c.wholeWordsOnly;
        EXPECT_EQ(c.count, matcher.matchCount);
        EXPECT_TRUE(view.runs.empty()) << "counting renders nothing";
    }
}

TEST_F(LineMatcherTest, RendersNumberedLinesWithMatchingWordsInRed)
{
    EXPECT_EQ(3, scan("Concatenate the CAT, cat-like.\n", "cat"));
    const std::vector<TextRun> expected = {
        {"1) ", BLUE}, {"", AUTO}, {"Concatenate", RED}, {" the ", AUTO}, {"CAT", RED},
        {", ", AUTO},  {"cat", RED}, {"-like.\n", AUTO},
    };
    EXPECT_EQ(expected, view.runs);
    EXPECT_EQ(1, view.clears);
}

TEST_F(LineMatcherTest, OnlyMatchingLinesAreShownAndEachWordCountsOnce)
{
    // "catcat" holds the query word twice and "cat dog" names two words: one match each.
    EXPECT_EQ(3, scan("nothing here\r\ncatcat and dog\r\n\r\nlast cat", "cat dog cat"));
    const std::vector<TextRun> expected = {
        {"2) ", BLUE}, {"", AUTO}, {"catcat", RED}, {" and ", AUTO}, {"dog", RED}, {"\n", AUTO},
        {"4) ", BLUE}, {"last ", AUTO}, {"cat", RED}, {"", AUTO},
    };
    EXPECT_EQ(expected, view.runs) << "CR LF is read as one line feed; a last line keeps no line end";
}

TEST_F(LineMatcherTest, LongLinesArriveInPiecesOf1023Bytes)
{
    std::string first(1023, 'x');
    first.replace(0, 3, "cat");
    std::string second(1023, ' ');
    second.replace(1020, 3, "cat");  // "catcat" across the cut: two words, two matches
    std::string third = "cat 67890";
    EXPECT_EQ(3, scan(first + second + third + "\n", "cat"));

    ASSERT_GE(view.runs.size(), 3u);
    EXPECT_EQ((TextRun{"1) ", BLUE}), view.runs[0]);
    std::vector<std::string> prefixes;
    std::string shown;
    for (const TextRun& run : view.runs) {
        if (run.colour == BLUE)
            prefixes.push_back(run.text);
        else
            shown += run.text;
    }
    EXPECT_EQ((std::vector<std::string>{"1) ", "2) ", "3) "}), prefixes);
    EXPECT_EQ(first + second + third + "\n", shown) << "pieces are rendered without line breaks";
}

TEST_F(LineMatcherTest, LinesAtTheReadLimit)
{
    // A line of 1022 bytes and its line feed is one read; 1023 bytes leave the line feed for a
    // second, empty read; 1024 bytes put the last byte on a line of its own.
    const struct {
        std::size_t length;
        int reads;
    } cases[] = {{1022, 1}, {1023, 2}, {1024, 2}};
    for (const auto& c : cases) {
        std::string line(c.length, 'a');
        line[0] = 'Z';
        line[c.length - 1] = 'Z';
        EXPECT_EQ(c.length == 1024 ? 3 : 2, scan(line + "\nZ\n", "z")) << c.length;
        // The last line ("Z") carries the number of reads before it plus one.
        ASSERT_GE(view.runs.size(), 4u);
        EXPECT_EQ(std::to_string(c.reads + 1) + ") ", view.runs[view.runs.size() - 4].text) << c.length;
    }
}

TEST_F(LineMatcherTest, OddBytesSeparateWordsAndNothingAfterAZeroIsSeen)
{
    std::string bytes;
    for (int b = 0x80; b <= 0xFF; ++b)
        bytes += static_cast<char>(b);
    EXPECT_EQ(2, scan("caf\xe9" + bytes + "caf\n", "caf", 0));
    EXPECT_EQ(0, scan(std::string(4096, '\0'), "a", 0)) << "a file of zero bytes";
    EXPECT_EQ(1, scan(std::string("cat\0cat cat\n", 12), "cat", 0));
    EXPECT_EQ(0, scan(" ,.;-!? \n", " ,.;-! ", 0)) << "a query without words";
    EXPECT_EQ(0, scan("cat cat cat\n", " ,.;-! ", 0));
}

TEST_F(LineMatcherTest, EmptyFileClearsTheViewAndShowsNothing)
{
    view.runs.push_back({"earlier", AUTO});
    EXPECT_EQ(0, scan("", "cat"));
    EXPECT_EQ(1, view.clears);
    EXPECT_TRUE(view.runs.empty());
}

TEST_F(LineMatcherTest, UnopenableFileIsReportedAndLeavesTheViewAlone)
{
    // A device's name is never opened: "nul" would read as an empty file, "aux" as a serial
    // port that never answers.
    for (const char* name : {"missing.txt", "nul.txt", "Aux .htm"}) {
        view.runs = {{"earlier", AUTO}};
        view.clears = 0;
        BoxWatcher boxes;
        std::string path = tree.path(name);
        EXPECT_EQ(-1, matcher.scanFile(path.c_str(), "cat", 1)) << name;
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ("Error: cannot open selected file!", boxes.boxes()[0].caption);
        EXPECT_EQ(path, boxes.boxes()[0].text);
        EXPECT_EQ(0, view.clears);
        EXPECT_EQ(1u, view.runs.size());
    }
}

} // namespace
