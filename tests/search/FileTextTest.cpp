// How a file's bytes become the text the matcher reads. The expected texts are in the code
// page both builds agree on for these characters: "\xe9" for U+00E9, "?" for what no
// single-byte Western page holds.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "search/FileText.h"

namespace {

struct Read {
    std::string text;
    FileText::Kind kind;
};

// Everything a FileText hands out for a file holding bytes, read in pieces of piece bytes
// after a first read of a whole block.
Read readAll(const std::string& bytes, bool joinLineEnds, bool mayBeDocument = false, std::size_t piece = 4096)
{
    std::FILE* file = std::tmpfile();
    EXPECT_NE(nullptr, file);
    if (file == nullptr)
        return {};
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    FileText source(file, joinLineEnds, mayBeDocument);
    std::string text;
    std::string block(64 * 1024, '\0');
    std::size_t wanted = block.size();
    for (;;) {
        std::size_t got = source.read(&block[0], wanted);
        text.append(block, 0, got);
        if (got < wanted)
            break;
        wanted = piece;
    }
    std::fclose(file);
    return {text, source.kind()};
}

std::string utf16(const std::u16string& text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

TEST(FileText, EachKindOfFileGivesItsTextInTheCodePage)
{
    std::string longAscii(70000, 'a');
    const struct {
        const char* what;
        std::string bytes;
        std::string text;
        FileText::Kind kind;
    } cases[] = {
        {"UTF-16 LE", utf16(u"caf\u00e9 apple\r\n\u0100b\r\n", false), "caf\xe9 apple\n?b\n", FileText::UTF16_LE},
        {"UTF-16 BE", utf16(u"caf\u00e9 apple\r\n\u0100b\r\n", true), "caf\xe9 apple\n?b\n", FileText::UTF16_BE},
        {"UTF-16, a pair", utf16(u"a\U0001F600b", false), "a?b", FileText::UTF16_LE},
        {"UTF-16, half a pair", utf16(u"a\xD83D", false), "a?", FileText::UTF16_LE},
        {"UTF-16, odd", utf16(u"ab", false) + "c", "ab?", FileText::UTF16_LE},
        {"UTF-8 with a mark",
         "\xEF\xBB\xBF"
         "caf\xC3\xA9 apple\r\n",
         "caf\xe9 apple\n", FileText::UTF8},
        {"UTF-8", "caf\xC3\xA9 \xC4\x80pple\n", "caf\xe9 ?pple\n", FileText::UTF8},
        {"UTF-8, then not", "caf\xC3\xA9\n" + longAscii + "\xE9t\xE9\n", "caf\xe9\n" + longAscii + "\xe9t\xe9\n",
         FileText::UTF8},
        {"UTF-8 cut at the end", "caf\xC3\xA9 \xC3", "caf\xe9 \xc3", FileText::UTF8},
        {"ANSI", "caf\xe9 apple\r\n", "caf\xe9 apple\n", FileText::BYTES},
        {"ANSI that starts like UTF-8", "\xC3\xA9t\xE9 x", "\xC3\xA9t\xE9 x", FileText::BYTES},
        {"a Ctrl+Z inside", "apple\x1a pear\r\napple\r", "apple\x1a pear\napple\r", FileText::BYTES},
        {"a Ctrl+Z first",
         "\x1a"
         "apple",
         "\x1a"
         "apple",
         FileText::BYTES},
        {"CR LF across a block", longAscii.substr(0, 65535) + "\r\nx", longAscii.substr(0, 65535) + "\nx",
         FileText::BYTES},
        {"empty", "", "", FileText::BYTES},
    };
    for (const auto& c : cases) {
        Read read = readAll(c.bytes, true);
        EXPECT_EQ(c.text, read.text) << c.what;
        EXPECT_EQ(c.kind, read.kind) << c.what;
        // A count takes the same text, but plain bytes keep their carriage returns.
        Read counted = readAll(c.bytes, false, false, 1000);
        EXPECT_EQ(c.kind == FileText::BYTES ? c.bytes : c.text, counted.text) << c.what << ", counted";
    }
}

TEST(FileText, OnlyADocumentNamedSoIsReadAsOne)
{
    // The compound file's signature and nothing a reader can use: the bytes as they are.
    std::string notADocument = std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + "apple\r\n";
    for (bool named : {false, true}) {
        Read read = readAll(notADocument, true, named);
        EXPECT_EQ(FileText::BYTES, read.kind);
        EXPECT_EQ(notADocument.substr(0, notADocument.size() - 2) + "\n", read.text);
    }
}

}  // namespace
