#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "search/ByteSource.h"
#include "search/LineMatcher.h"
#include "search/ReadCutter.h"
#include "support/MemoryBytes.h"
#include "support/StreamTexts.h"
#include "support/TempTree.h"

namespace {

TEST(ReadCutterTest, HandsOutTheReadsOfALineReader)
{
    std::string text = generatedText(7, 40000);
    std::vector<std::string> expected = referenceReads(text);
    std::vector<char> buffer(STREAM_BLOCK_MINIMUM + 3);
    MemoryBytes source(text);
    ReadCutter cutter(source, buffer.data(), buffer.size());
    char line[READ_LIMIT + 1];
    // Reads may hold zero bytes, so their bytes are compared, not terminated strings.
    std::size_t index = 0;
    std::size_t at = 0;
    while (cutter.next(line)) {
        ASSERT_LT(index, expected.size());
        const std::string& want = expected[index];
        EXPECT_EQ(0, std::memcmp(line, want.data(), want.size())) << "read " << index;
        EXPECT_EQ('\0', line[want.size()]) << "read " << index << " is terminated after its bytes";
        at += want.size();
        ++index;
    }
    EXPECT_EQ(expected.size(), index);
    EXPECT_EQ(text.size(), at);
}

TEST(ReadCutterTest, TextModeBlocksCutIntoTheSameReadsAsLineReads)
{
    TempTree tree;
    std::vector<std::string> files = textModeFiles();
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::string path = tree.path("f" + std::to_string(i) + ".txt");
        tree.file("f" + std::to_string(i) + ".txt", files[i]);

        std::vector<std::string> expected;
        std::FILE* file = std::fopen(path.c_str(), "r");
        ASSERT_NE(nullptr, file);
        char line[LINE_CAPACITY];
        while (std::fgets(line, sizeof line, file) != nullptr)
            expected.emplace_back(line);
        std::fclose(file);

        std::vector<std::string> reads;
        file = std::fopen(path.c_str(), FileTextBytes::openMode(FileTextBytes::TEXT_MODE));
        ASSERT_NE(nullptr, file);
        std::vector<char> buffer(STREAM_BLOCK_MINIMUM);
        FileTextBytes source(file, FileTextBytes::TEXT_MODE);
        ReadCutter cutter(source, buffer.data(), buffer.size());
        while (cutter.next(line))
            reads.emplace_back(line);
        std::fclose(file);
        EXPECT_EQ(expected, reads) << "file " << i;
    }
}

}  // namespace
