#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "text/ByteSource.h"
#include "text/FileText.h"
#include "search/LineMatcher.h"
#include "search/ReadCutter.h"
#include "support/Latin1252.h"
#include "support/MemoryBytes.h"
#include "support/StreamTexts.h"
#include "support/TempTree.h"

namespace {

// Cuts source into pieces and checks that they make up the lines of text, none longer than
// the buffer. Lines may hold zero bytes, so their bytes are compared.
void expectLinesOf(const std::string& text, ByteSource& source, std::size_t capacity, const std::string& context)
{
    std::vector<std::string> expected = referenceLines(text);
    std::vector<char> buffer(capacity);
    ReadCutter cutter(source, buffer.data(), buffer.size());
    std::vector<std::string> lines;
    std::string line;
    LinePiece piece;
    while (cutter.next(piece)) {
        ASSERT_GT(piece.length, 0u) << context;
        ASSERT_LE(piece.length, capacity) << context;
        line.append(piece.bytes, piece.length);
        if (piece.endsLine()) {
            lines.push_back(line);
            line.clear();
        }
    }
    if (!line.empty())
        lines.push_back(line);
    EXPECT_EQ(expected, lines) << context;
}

TEST(ReadCutterTest, HandsOutTheLinesOfAText)
{
    std::string text = generatedText(7, 40000);
    MemoryBytes source(text);
    expectLinesOf(text, source, STREAM_BLOCK_MINIMUM + 3, "generated text");
    // Lines longer than the buffer, and ending exactly where it does.
    for (std::size_t length : {STREAM_BLOCK_MINIMUM - 1, STREAM_BLOCK_MINIMUM, 3 * STREAM_BLOCK_MINIMUM + 5}) {
        std::string lines = std::string(length, 'w') + "\n" + std::string(length, 'v');
        MemoryBytes longLines(lines);
        expectLinesOf(lines, longLines, STREAM_BLOCK_MINIMUM, "lines of " + std::to_string(length));
    }
}

TEST(ReadCutterTest, AFilesJoinedLinesCutIntoItsLines)
{
    // A carriage return before a line feed goes, wherever a block edge falls; a Ctrl+Z stays.
    std::vector<std::string> files = textModeFiles();
    Latin1252 codePage;
    for (std::size_t i = 0; i < files.size(); ++i) {
        MemoryBytes file(files[i]);
        FileText source(file, codePage, Ending::TXT, true);
        expectLinesOf(joinedLineEnds(files[i]), source, STREAM_BLOCK_MINIMUM, "file " + std::to_string(i));
    }
}

}  // namespace
