#include "app/ProgramHarness.h"

#include <richedit.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "panel/MatchView.h"
#include "panel/MatchViewSink.h"
#include "panel/SearchPanel.h"
#include "search/LineMatcher.h"

namespace {

const COLORREF BLUE = 0xFF0000, RED = 0x0000FF, AUTO = 0;

struct ColouredRun {
    std::string text;
    COLORREF colour;
};

// Everything the control shows, character by character: the character, its colour (0 for
// the automatic one), its size and its font.
std::vector<std::string> shownCharacters() {
    std::vector<std::string> shown;
    for (const ViewCharacter& character : viewCharacters()) {
        char line[128];
        std::snprintf(line, sizeof line, "%02x colour %06lx effects %08lx size %ld %s",
                      static_cast<unsigned char>(character.text), character.colour,
                      character.format.dwEffects, character.format.yHeight, character.format.szFaceName);
        shown.push_back(line);
    }
    return shown;
}

class MatchBatchTest : public ProgramTest {
protected:
    TempTree tree;
};

TEST_F(MatchBatchTest, ABatchShowsExactlyWhatTheSameRunsShowOneByOne) {
    // Wine's control is known to take batches; elsewhere the view may rightly decline them.
    bool underWine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    if (underWine)
        ASSERT_TRUE(matchView.showsBatchesExactly()) << "the view tried batches and found them different";
    else if (!matchView.showsBatchesExactly())
        GTEST_SKIP() << "this rich-text control takes runs one at a time";

    std::string everyByte;
    for (int c = 1; c < 256; ++c)
        everyByte += static_cast<char>(c);
    std::vector<std::vector<ColouredRun>> cases = {
        {{"1) ", BLUE},
         {"", AUTO},
         {"Lantern", RED},
         {" of {the} \\night\\\t", AUTO},
         {"x", RED},
         {"\n", AUTO}},
        {{"2) ", BLUE}, {everyByte, AUTO}, {"w", RED}, {"\r\n", AUTO}},
        {{"3) ", BLUE}, {"a\rb\r\rc\n\n", AUTO}, {"d", RED}},
    };
    // More colours than a batch holds at once, so it is shown in parts.
    std::vector<ColouredRun> colourful;
    for (COLORREF c = 1; c < 40; ++c)
        colourful.push_back({"c" + std::to_string(c) + " ", c * 0x030507});
    cases.push_back(colourful);

    for (std::size_t i = 0; i < cases.size(); ++i) {
        matchView.clearView();
        matchView.appendText("before ", 0x808080);
        for (const ColouredRun& run : cases[i])
            matchView.appendText(run.text.c_str(), run.colour);
        std::vector<std::string> oneByOne = shownCharacters();

        matchView.clearView();
        matchView.appendText("before ", 0x808080);
        for (const ColouredRun& run : cases[i])
            matchViewSink.appendText(run.text.c_str(), run.colour);
        matchViewSink.finishView();
        EXPECT_EQ(oneByOne, shownCharacters()) << "case " << i;
    }
}

TEST_F(MatchBatchTest, AFileLargerThanOneBatchRendersEveryRun) {
    // Short lines full of characters that take several bytes each in the stream.
    std::string content;
    for (int i = 0; i < 1000; ++i)
        content += "{lantern}\t\\{}\t\t{}\\\xe9\xe9\t{Lanterns}\n";
    tree.file("big.txt", content);
    std::string path = tree.path("big.txt");

    RecordingView recorder;
    LineMatcher reference(&recorder);
    ASSERT_EQ(2000, reference.scanFile(path.c_str(), "lantern", 1));
    std::vector<TextRun> expected;
    for (const TextRun& run : recorder.runs) {
        if (run.text.empty())
            continue;
        if (!expected.empty() && expected.back().colour == run.colour)
            expected.back().text += run.text;
        else
            expected.push_back(run);
    }

    EXPECT_EQ(2000, renderFile(path, "lantern"));
    EXPECT_EQ(expected, viewRuns());
}

TEST_F(MatchBatchTest, RenderingLeavesTheViewDrawingAndAsVisibleAsItWas) {
    // The view stops drawing while a file goes in; drawing on again must neither be
    // forgotten nor show a view that was hidden.
    tree.file("one.txt", "a lantern\n");
    std::string path = tree.path("one.txt");
    HWND view = panelControls.matchView;
    for (bool visible : {true, false, true}) {
        ShowWindow(view, visible ? SW_SHOW : SW_HIDE);
        EXPECT_EQ(1, renderFile(path, "lantern"));
        EXPECT_EQ(visible, (GetWindowLongA(view, GWL_STYLE) & WS_VISIBLE) != 0) << "shown before: " << visible;
        std::string shown;
        for (const TextRun& run : viewRuns())
            shown += run.text;
        EXPECT_EQ(0u, shown.find("1) a lantern")) << shown;
    }
}

} // namespace
