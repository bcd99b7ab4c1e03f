#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "search/LineMatcher.h"
#include "match/LineScan.h"
#include "search/SearchState.h"
#include "support/BoxWatcher.h"
#include "support/Recorders.h"
#include "support/StreamTexts.h"
#include "support/TempTree.h"
#include "support/TestData.h"

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
        {"1) ", BLUE}, {"", AUTO},   {"Concatenate", RED}, {" the ", AUTO},
        {"CAT", RED},  {", ", AUTO}, {"cat", RED},         {"-like.\n", AUTO},
    };
    EXPECT_EQ(expected, view.runs);
    EXPECT_EQ(1, view.clears);
}

TEST_F(LineMatcherTest, OnlyMatchingLinesAreShownAndEachWordCountsOnce)
{
    // "catcat" holds the query word twice and "cat dog" names two words: one match each.
    EXPECT_EQ(3, scan("nothing here\r\ncatcat and dog\r\n\r\nlast cat", "cat dog cat"));
    const std::vector<TextRun> expected = {
        {"2) ", BLUE}, {"", AUTO},    {"catcat", RED}, {" and ", AUTO}, {"dog", RED},
        {"\n", AUTO},  {"4) ", BLUE}, {"last ", AUTO}, {"cat", RED},    {"", AUTO},
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

TEST_F(LineMatcherTest, AWordDocumentShowsTheTextItHolds)
{
    // Rendered from the text it shows: a line a paragraph, cells apart by tabs, a link by its text.
    const struct {
        const char* name;
        std::string content;
        std::vector<TextRun> runs;
    } cases[] = {
        {"plain.doc",
         testData("word/plain.doc"),
         {{"2) ", BLUE}, {"An ", AUTO}, {"apple", RED}, {" a day keeps the doctor away.\n", AUTO}}},
        {"table.doc", testData("word/table.doc"), {{"2) ", BLUE}, {"", AUTO}, {"apple", RED}, {"\t1.20\t\n", AUTO}}},
        {"hyperlink.doc",
         testData("word/hyperlink.doc"),
         {{"1) ", BLUE}, {"See the orchard page for ", AUTO}, {"apples", RED}, {".\n", AUTO}}},
    };
    for (const auto& c : cases) {
        tree.file(c.name, c.content);
        EXPECT_EQ(1, matcher.scanFile(tree.path(c.name).c_str(), "apple", 1)) << c.name;
        EXPECT_EQ(c.runs, view.runs) << c.name;
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

// What a line-by-line matcher makes of a text file: its line ends joined, every read of a
// line reader scanned.
int lineReaderCount(const std::string& content, const char* query, ViewSink* view)
{
    if (view != nullptr)
        view->clearView();
    char line[LINE_CAPACITY];
    char folded[LINE_SCAN_CAPACITY];
    char piece[LINE_SCAN_CAPACITY];
    int count = 0;
    int lineNumber = 0;
    for (const std::string& read : referenceReads(joinedLineEnds(content))) {
        std::memcpy(line, read.data(), read.size());
        line[read.size()] = '\0';
        count += scanLine(line, ++lineNumber, query, nullptr, view, LineScratch{folded, piece});
    }
    return count;
}

TEST_F(LineMatcherTest, ScanFileCountsAndRendersAsALineReaderWould)
{
    std::vector<std::string> files = textModeFiles();
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::string name = "f" + std::to_string(i) + ".txt";
        tree.file(name, files[i]);
        std::string path = tree.path(name);
        for (const char* query : {"cat", "cat zephyrquill marrowfat", "e"}) {
            for (int wholeWordsOnly = 0; wholeWordsOnly <= 1; ++wholeWordsOnly) {
                searchOptions.wholeWordsOnly = wholeWordsOnly;
                std::string context =
                    "file " + std::to_string(i) + ", query '" + query + "', whole " + std::to_string(wholeWordsOnly);
                int expected = lineReaderCount(files[i], query, nullptr);
                EXPECT_EQ(expected, matcher.scanFile(path.c_str(), query, 0)) << context;
                EXPECT_EQ(expected, matcher.matchCount) << context;

                RecordingView expectedView;
                lineReaderCount(files[i], query, &expectedView);
                EXPECT_EQ(expected, matcher.scanFile(path.c_str(), query, 1)) << context;
                EXPECT_EQ(expectedView.runs, view.runs) << context;
            }
        }
    }
}

}  // namespace
