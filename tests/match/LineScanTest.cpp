// This file needs no <windows.h>, so it runs natively under the sanitizers as well as under
// Wine.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "match/LineScan.h"
#include "match/SearchOptions.h"
#include "match/WordRules.h"
#include "support/Letters1252.h"
#include "support/Recorders.h"

namespace {

const unsigned long AUTO = 0x000000, BLUE = 0xFF0000, RED = 0x0000FF;

class LineScanTest : public testing::Test {
protected:
    void TearDown() override
    {
        searchOptions.caseSensitive = 0;
        searchOptions.wholeWordsOnly = 0;
    }

    // Scans one line given in pieces and renders it as line 7 when it matches.
    int scanPieces(const std::vector<std::string>& pieces, const char* query)
    {
        QueryWords words;
        EXPECT_TRUE(words.parse(query));
        LineScan& scan = *scanner;
        scan.setQuery(query, &words);
        scan.beginLine();
        for (const std::string& piece : pieces)
            scan.take(piece.data(), piece.size());
        int count = scan.endLine();
        view.runs.clear();
        if (count > 0)
            scan.render(7, view);
        return count;
    }

    ScopedWordTable letters{wordTable1252()};
    std::unique_ptr<LineScan> scanner{new LineScan};
    RecordingView view;
};

TEST_F(LineScanTest, AWordAcrossPiecesIsOneWord)
{
    const std::string longer(3000, 'q');
    const struct {
        std::vector<std::string> pieces;
        const char* query;
        int wholeWordsOnly;
        int count;
        std::vector<TextRun> runs;
    } cases[] = {
        {{"a conc", "aten", "ate b\n"},
         "cat",
         0,
         1,
         {{"7) ", BLUE}, {"a ", AUTO}, {"concatenate", RED}, {" b\n", AUTO}}},
        {{"CAF", "\xc9 cafeteria"},
         "caf\xe9",
         1,
         1,
         {{"7) ", BLUE}, {"", AUTO}, {"CAF\xc9", RED}, {" cafeteria", AUTO}}},
        {{"r\xe9", "sum\xe9"}, "sum", 1, 0, {}},
        // Longer than a word is held: it holds the query word, but is never equal to it.
        {{longer, "cat", longer}, "cat", 0, 1, {}},
        {{longer, "cat", longer}, "cat", 1, 0, {}},
        {{"cat", longer + longer}, "cat", 0, 1, {}},
        {{longer + longer, "ca", "t"}, "cat", 0, 1, {}},
    };
    for (const auto& c : cases) {
        searchOptions.wholeWordsOnly = c.wholeWordsOnly;
        EXPECT_EQ(c.count, scanPieces(c.pieces, c.query)) << c.pieces[0].substr(0, 20);
        if (!c.runs.empty()) {
            EXPECT_EQ(c.runs, view.runs) << c.pieces[0];
        }
    }
}

TEST_F(LineScanTest, ALineLongerThanTheViewShowsItsStart)
{
    const std::string filler = std::string(LINE_SHOWN_LIMIT - 5, ' ');
    // The matching word across the limit is red as far as it is shown; one beyond is counted.
    EXPECT_EQ(3, scanPieces({"cat", filler + "lcat", " tail cat\n"}, "cat"));
    const std::vector<TextRun> expected = {
        {"7) ", BLUE}, {"", AUTO}, {"cat", RED}, {filler, AUTO}, {"lc", RED}, {"\n", AUTO},
    };
    EXPECT_EQ(expected, view.runs);
    EXPECT_EQ(std::string("7) ").size() + LINE_SHOWN_LIMIT + 1, scanner->renderedCharacters(7));
    EXPECT_EQ(6u, scanner->renderedRuns());
}

}  // namespace
