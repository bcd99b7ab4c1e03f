#include "app/ProgramHarness.h"

#include <richedit.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "panel/FileRender.h"
#include "panel/MatchView.h"
#include "panel/SearchPanel.h"
#include "search/DirectoryCursor.h"
#include "search/LineMatcher.h"
#include "support/BoxWatcher.h"

namespace {

const COLORREF BLUE = 0xFF0000, RED = 0x0000FF, GREY = 0x808080, AUTO = 0;

struct ColouredRun {
    std::string text;
    COLORREF colour;
};

// Everything the control shows, character by character: the character, its colour (0 for
// the automatic one), its size and its font.
std::vector<std::string> shownCharacters()
{
    std::vector<std::string> shown;
    for (const ViewCharacter& character : viewCharacters()) {
        char line[128];
        std::snprintf(line, sizeof line, "%02x colour %06lx effects %08lx size %ld %s",
                      static_cast<unsigned char>(character.text), character.colour, character.format.dwEffects,
                      character.format.yHeight, character.format.szFaceName);
        shown.push_back(line);
    }
    return shown;
}

// Puts a run in as a plain insertion does, at the end of the text: what a batch must look like.
void insertPlainly(const char* text, COLORREF colour)
{
    HWND view = matchView.control();
    CHARRANGE end = {-1, -1};
    SendMessageA(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    SendMessageA(view, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    format.dwMask |= CFM_COLOR;
    format.crTextColor = colour;
    if (colour == AUTO)
        format.dwEffects |= CFE_AUTOCOLOR;
    else
        format.dwEffects &= ~static_cast<DWORD>(CFE_AUTOCOLOR);
    SendMessageA(view, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    SendMessageA(view, EM_SETREADONLY, FALSE, 0);
    SendMessageA(view, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(view, EM_SETREADONLY, TRUE, 0);
}

class MatchViewTest : public ProgramTest {
protected:
    TempTree tree;
};

// The whole text of the view, with each line end as a line feed.
std::string viewText()
{
    HWND view = matchView.control();
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(view)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(view, &text[0], static_cast<int>(text.size()))));
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        lines += text[i] == '\r' ? '\n' : text[i];
    }
    return lines;
}

// The colour of the view's last count characters, as one value when they share it.
COLORREF colourOfTheLast(LONG count)
{
    HWND view = matchView.control();
    CHARRANGE range = {-1, -1};
    SendMessageA(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageA(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    range.cpMin = range.cpMax - count;
    SendMessageA(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    SendMessageA(view, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    CHARRANGE end = {-1, -1};
    SendMessageA(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    if (!(format.dwMask & CFM_COLOR))
        return 0xFFFFFFFF;  // more than one colour
    return (format.dwEffects & CFE_AUTOCOLOR) ? AUTO : format.crTextColor;
}

std::string numberedLines(int first, int last)
{
    std::string text;
    for (int n = first; n <= last; ++n)
        text += std::to_string(n) + ") lantern " + std::to_string(n) + "\n";
    return text;
}

TEST_F(MatchViewTest, AViewStopsAtItsLimitAndSaysInGreyHowManyMatchingLinesItLeftOut)
{
    std::string twelveThousand, tenThousandThenNone;
    for (int n = 1; n <= 12000; ++n)
        twelveThousand += "lantern " + std::to_string(n) + "\n";
    for (int n = 1; n <= 10000; ++n)
        tenThousandThenNone += "lantern " + std::to_string(n) + "\n";
    tenThousandThenNone += "no match\nnor here\n";
    // One line of 40 KB, matching all along: it shows its start.
    std::string minified;
    while (minified.size() < 40 * 1024)
        minified += "lantern ";
    // 1,000 short lines of 100 matches: 202 coloured runs each, so the runs run out first.
    std::string hundredMatches;
    for (int word = 1; word < 100; ++word)
        hundredMatches += "lantern ";
    hundredMatches += "lantern\n";
    std::string shortLines, shortLinesShown;
    for (int n = 1; n <= 1000; ++n)
        shortLines += hundredMatches;
    for (int n = 1; n <= 297; ++n)
        shortLinesShown += std::to_string(n) + ") " + hundredMatches;
    // 1,300 lines of a thousand characters, one match each: the characters run out first.
    const std::string longLine = "lantern " + std::string(1000, 'y') + "\n";
    std::string longLines, longLinesShown;
    for (int n = 1; n <= 1300; ++n)
        longLines += longLine;
    for (int n = 1; n <= 1183; ++n)
        longLinesShown += std::to_string(n) + ") " + longLine;

    const struct {
        const char* name;
        const std::string& content;
        std::string shown;
        const char* note;
    } cases[] = {
        {"twelve-thousand.txt", twelveThousand, numberedLines(1, 10000), "2000 more matching lines not shown"},
        {"ten-thousand.txt", tenThousandThenNone, numberedLines(1, 10000), ""},
        {"minified.txt", minified, "1) " + minified.substr(0, 8000), ""},
        {"many-matches.txt", shortLines, shortLinesShown, "703 more matching lines not shown"},
        {"long-lines.txt", longLines, longLinesShown, "117 more matching lines not shown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tree.file(c.name, c.content);
        ASSERT_TRUE(fileRender.start(tree.path(c.name).c_str(), "lantern"));
        // A click into the view while the render goes on must not move where the rest goes.
        SendMessageA(matchView.control(), EM_SETSEL, 0, 0);
        ASSERT_TRUE(pumpUntil([] { return !fileRender.running(); }, 120000));
        EXPECT_EQ(c.shown + c.note, viewText());
        if (*c.note != '\0') {
            EXPECT_EQ(GREY, colourOfTheLast(static_cast<LONG>(std::strlen(c.note))));
        }
    }
}

TEST_F(MatchViewTest, ARenderCutShortLeavesNothingOfItBehind)
{
    std::string many;
    for (int n = 1; n <= 20000; ++n)
        many += "lantern " + std::to_string(n) + "\n";
    tree.file("many.txt", many);
    tree.file("one.txt", "a lantern\n");
    searchRoot.setPath(tree.root().c_str());
    ASSERT_EQ(1, renderFile(tree.path("one.txt"), "lantern"));
    std::vector<std::string> alone = shownCharacters();

    enum Cut { ANOTHER_FILE, A_SEARCH, CLOSING };
    for (Cut cut : {ANOTHER_FILE, A_SEARCH, CLOSING}) {
        SCOPED_TRACE(cut);
        ASSERT_TRUE(fileRender.start(tree.path("many.txt").c_str(), "lantern"));
        ASSERT_TRUE(fileRender.running()) << "the render ended before it could be cut short";
        if (cut == ANOTHER_FILE) {
            EXPECT_EQ(1, renderFile(tree.path("one.txt"), "lantern"));
            pumpPending();
            EXPECT_EQ(alone, shownCharacters());
        } else if (cut == A_SEARCH) {
            typeSearchString("nowhere");
            clickSearch();
            EXPECT_FALSE(fileRender.running());
            ASSERT_TRUE(waitUntilIdle());
            pumpPending();
            EXPECT_EQ((std::vector<TextRun>{{"No file selected", GREY}}), viewRuns());
        } else {
            SendMessageA(panelWindow, WM_COMMAND, IDCANCEL, 0);
            EXPECT_FALSE(fileRender.running());
        }
    }
}

TEST_F(MatchViewTest, AFileThatCannotBeOpenedLeavesTheRenderUnderWayAsItWas)
{
    std::string many;
    for (int n = 1; n <= 8000; ++n)
        many += "lantern " + std::to_string(n) + "\n";
    tree.file("many.txt", many);
    ASSERT_TRUE(fileRender.start(tree.path("many.txt").c_str(), "lantern"));
    ASSERT_TRUE(fileRender.running()) << "the render ended before a second file was tried";
    {
        BoxWatcher boxes;
        EXPECT_FALSE(fileRender.start(tree.path("missing.txt").c_str(), "lantern"));
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ("Error: cannot open selected file!", boxes.boxes()[0].caption);
        EXPECT_EQ(tree.path("missing.txt"), boxes.boxes()[0].text);
    }
    EXPECT_TRUE(fileRender.running());
    ASSERT_TRUE(pumpUntil([] { return !fileRender.running(); }, 120000));
    EXPECT_EQ(numberedLines(1, 8000), viewText());
}

TEST_F(MatchViewTest, ABatchShowsExactlyWhatTheSameRunsShowOneByOne)
{
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
        {{"1) ", BLUE}, {"", AUTO}, {"Lantern", RED}, {" of {the} \\night\\\t", AUTO}, {"x", RED}, {"\n", AUTO}},
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
        insertPlainly("before ", GREY);
        for (const ColouredRun& run : cases[i])
            insertPlainly(run.text.c_str(), run.colour);
        std::vector<std::string> oneByOne = shownCharacters();

        matchView.clearView();
        matchView.appendText("before ", GREY);
        for (const ColouredRun& run : cases[i])
            matchView.appendText(run.text.c_str(), run.colour);
        matchView.flush();
        EXPECT_EQ(oneByOne, shownCharacters()) << "case " << i;
    }
}

TEST_F(MatchViewTest, AFileLargerThanOneBatchRendersEveryRun)
{
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

// Whether the view shows its scroll bar of kind (SB_HORZ or SB_VERT), and whether the bar's
// range is wider than the client area; for the horizontal bar, also where it may scroll to.
std::string scrollBar(HWND view, int kind, int* end = nullptr)
{
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    GetScrollInfo(view, kind, &info);
    RECT client;
    GetClientRect(view, &client);
    if (end != nullptr)
        *end = info.nMax - static_cast<int>(info.nPage) + 1;
    bool shown = (GetWindowLongA(view, GWL_STYLE) & (kind == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0;
    bool overflows = info.nMax > (kind == SB_HORZ ? client.right : client.bottom);
    return std::string(shown ? "shown" : "hidden") + (overflows ? ", text past the edge" : "");
}

TEST_F(MatchViewTest, AViewShowsTheScrollBarsItsTextNeedsAndScrollsSidewaysToAWordPastItsEdge)
{
    std::string longLine, manyLines;
    for (int n = 1; n <= 300; ++n)
        manyLines += "beacon " + std::to_string(n) + "\n";
    while (longLine.size() < 400)
        longLine += "sand ";
    tree.file("long.txt", longLine + "beacon\n");
    tree.file("many.txt", manyLines);
    tree.file("short.txt", "a beacon\n");
    // After many lines the view is a fresh control, not the one that was emptied.
    const char* const cases[][4] = {
        {"short.txt", "long.txt", "shown, text past the edge", "hidden"},
        {"many.txt", "long.txt", "shown, text past the edge", "hidden"},
        {"many.txt", "many.txt", "hidden", "shown, text past the edge"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c[0]) + " then " + c[1]);
        ASSERT_LT(0, renderFile(tree.path(c[0]), "beacon"));
        ASSERT_LT(0, renderFile(tree.path(c[1]), "beacon"));
        HWND view = matchView.control();
        int end = 0;
        EXPECT_EQ(c[2], scrollBar(view, SB_HORZ, &end));
        EXPECT_EQ(c[3], scrollBar(view, SB_VERT));
        RECT client;
        GetClientRect(view, &client);
        POINTL red = {};
        SendMessageA(view, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&red), viewText().find("beacon"));
        if (std::string(c[1]) != "long.txt")
            continue;
        EXPECT_GT(red.x, client.right) << "the red word is not past the right edge";
        SendMessageA(view, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, end), 0);
        SendMessageA(view, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&red), viewText().find("beacon"));
        EXPECT_TRUE(red.x >= 0 && red.x < client.right) << "scrolled to the end, the red word is at " << red.x;
    }
}

TEST_F(MatchViewTest, RenderingLeavesTheViewDrawingAndAsVisibleAsItWas)
{
    // The view stops drawing while a file goes in; drawing on again must neither be
    // forgotten nor show a view that was hidden.
    tree.file("one.txt", "a lantern\n");
    std::string path = tree.path("one.txt");
    HWND view = matchView.control();
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

}  // namespace
