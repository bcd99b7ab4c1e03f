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

// Cuts source into reads and checks them against a line reader's reads of text. Reads may
// hold zero bytes, so their bytes are compared, not terminated strings.
void expectReadsOf(const std::string& text, ByteSource& source, std::size_t capacity, const std::string& context)
{
    std::vector<std::string> expected = referenceReads(text);
    std::vector<char> buffer(capacity);
    ReadCutter cutter(source, buffer.data(), buffer.size());
    char line[READ_LIMIT + 1];
    std::size_t index = 0;
    std::size_t at = 0;
    while (cutter.next(line)) {
        ASSERT_LT(index, expected.size()) << context;
        const std::string& want = expected[index];
        EXPECT_EQ(0, std::memcmp(line, want.data(), want.size())) << context << ", read " << index;
        EXPECT_EQ('\0', line[want.size()]) << context << ", read " << index << " is terminated after its bytes";
        at += want.size();
        ++index;
    }
    EXPECT_EQ(expected.size(), index) << context;
    EXPECT_EQ(text.size(), at) << context;
}

TEST(ReadCutterTest, HandsOutTheReadsOfALineReader)
{
    std::string text = generatedText(7, 40000);
    MemoryBytes source(text);
    expectReadsOf(text, source, STREAM_BLOCK_MINIMUM + 3, "generated text");
}

TEST(ReadCutterTest, AFilesJoinedLinesCutIntoTheReadsOfALineReader)
{
    // A carriage return before a line feed goes, wherever a block edge falls; a Ctrl+Z stays.
    std::vector<std::string> files = textModeFiles();
    Latin1252 codePage;
    for (std::size_t i = 0; i < files.size(); ++i) {
        MemoryBytes file(files[i]);
        FileText source(file, codePage, Ending::TXT, true);
        expectReadsOf(joinedLineEnds(files[i]), source, STREAM_BLOCK_MINIMUM, "file " + std::to_string(i));
    }
}

}  // namespace
