#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "search/LineMatcher.h"
#include "match/LineScan.h"
#include "search/SearchState.h"
#include "support/BoxWatcher.h"
#include "support/Recorders.h"
#include "support/Letters1252.h"
#include "support/StreamTexts.h"
#include "support/TempTree.h"
#include "support/TestData.h"
#include "support/WholeLines.h"

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

    ScopedWordTable letters{wordTable1252()};
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

TEST_F(LineMatcherTest, ALongLineIsOneLineAndAWordAcrossAnyCutIsOneWord)
{
    // Across byte 1023, across a block the reader takes in, longer than a block; and the line
    // after each is line 2.
    const std::string block(READ_BLOCK_CAPACITY, ' ');
    const struct {
        std::string line;
        int count;
        std::size_t shown;  // bytes of the long line the view shows
    } cases[] = {
        {std::string(1020, ' ') + "concatenate", 1, 1031},
        {block.substr(3) + "concatenate", 1, LINE_SHOWN_LIMIT},
        {"cat" + std::string(3 * READ_BLOCK_CAPACITY, 'x') + " cat", 2, LINE_SHOWN_LIMIT},
        {std::string(3 * READ_BLOCK_CAPACITY, 'x') + "cat", 1, LINE_SHOWN_LIMIT},
    };
    for (const auto& c : cases) {
        for (int wholeWordsOnly = 0; wholeWordsOnly <= 1; ++wholeWordsOnly) {
            searchOptions.wholeWordsOnly = wholeWordsOnly;
            int expected = wholeWordsOnly ? (c.line[0] == 'c' ? 1 : 0) : c.count;
            EXPECT_EQ(expected + 1, scan(c.line + "\nZ cat\n", "cat", 0)) << c.line.size();
            EXPECT_EQ(expected + 1, scan(c.line + "\nZ cat\n", "cat", 1)) << c.line.size();
            ASSERT_GE(view.runs.size(), 4u);
            EXPECT_EQ("2) ", view.runs[view.runs.size() - 4].text) << c.line.size();
            if (expected > 0) {
                std::string shown;
                for (std::size_t k = 1; k + 4 < view.runs.size(); ++k)
                    shown += view.runs[k].text;
                EXPECT_EQ(c.line.substr(0, c.shown) + "\n", shown) << c.line.size();
            }
        }
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

TEST_F(LineMatcherTest, SymbolsSeparateWordsAndNothingAfterAZeroIsSeen)
{
    EXPECT_EQ(2, scan("caf\xe9\xa3"
                      "caf\xe9\xa9"
                      "cafeteria\n",
                      "caf\xe9", 0));
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

// What a line-by-line matcher makes of a text file: its line ends joined, every line
// scanned whole.
int lineReaderCount(const std::string& content, const char* query, ViewSink* view)
{
    if (view != nullptr)
        view->clearView();
    std::unique_ptr<LineScan> scan(new LineScan);
    scan->setQuery(query, nullptr);
    int count = 0;
    long long lineNumber = 0;
    for (const std::string& line : referenceLines(joinedLineEnds(content)))
        count += scanWholeLine(*scan, line, ++lineNumber, view);
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
