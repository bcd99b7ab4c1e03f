// How a file's bytes become the text the matcher reads. The expected texts are in the code
// page both builds agree on for these characters: "\xe9" for U+00E9, "?" for what no
// single-byte Western page holds.
#include <gtest/gtest.h>

#include <string>

#include "support/Latin1252.h"
#include "support/MemoryBytes.h"
#include "support/TwoBytePage.h"
#include "support/WordBuilder.h"
#include "text/FileText.h"
#include "text/WordsInBytes.h"

namespace {

// Everything a FileText hands out for a file holding bytes, read in pieces of piece bytes
// after a first read of a whole block; in memory, when given, that other files were read in.
std::string readAll(const std::string& bytes, bool joinLineEnds, Ending ending = Ending::TXT, std::size_t piece = 4096,
                    TextMemory* memory = nullptr, const WordsLookedFor* lookedFor = nullptr,
                    const CodePage* codePage = nullptr)
{
    MemoryBytes file(bytes);
    Latin1252 latin;
    FileText source(file, codePage != nullptr ? *codePage : latin, ending, joinLineEnds, nullptr, memory, lookedFor);
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
    return text;
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
    // Lines of every length, a lone carriage return in some: they cross every vector's end.
    std::string lines, joinedLines;
    std::u16string accentedLines;
    std::string joinedAccentedLines;
    for (int n = 0; n < 300; ++n) {
        std::string line = std::string(static_cast<std::size_t>(n % 37), 'x') + (n % 7 != 0 ? " apple" : " a\rb");
        lines += line + "\r\n";
        joinedLines += line + "\n";
        accentedLines += std::u16string(line.begin(), line.end()) + (n % 50 == 0 ? u" caf\u00e9\r\n" : u"\r\n");
        joinedAccentedLines += line + (n % 50 == 0 ? " caf\xe9\n" : "\n");
    }
    // The first read of a block holds the mark and 32,767 units.
    std::u16string firstBlock(32766, u'a');
    const struct {
        const char* what;
        std::string bytes;
        std::string text;
        bool plain;  // read byte for byte: a count keeps its carriage returns
    } cases[] = {
        {"UTF-16 LE", utf16(u"caf\u00e9 apple\r\n\u0100b\r\n", false), "caf\xe9 apple\n?b\n", false},
        {"UTF-16 BE", utf16(u"caf\u00e9 apple\r\n\u0100b\r\n", true), "caf\xe9 apple\n?b\n", false},
        {"UTF-16, many lines", utf16(std::u16string(lines.begin(), lines.end()), false), joinedLines, false},
        {"UTF-8, many lines", "\xEF\xBB\xBF" + lines, joinedLines, false},
        {"UTF-16, an accent now and then", utf16(accentedLines + accentedLines, false),
         joinedAccentedLines + joinedAccentedLines, false},
        {"UTF-16, CR and LF in two blocks", utf16(firstBlock + u"\r\nb", false), std::string(32766, 'a') + "\nb",
         false},
        {"UTF-16, a pair across two runs of the code page",
         utf16(firstBlock + u"a\u00e9" + std::u16string(4094, u'b') + u"\U0001F600c", false),
         std::string(32767, 'a') + "\xe9" + std::string(4094, 'b') + "?c", false},
        {"UTF-16, a CR at a block's end before an accent", utf16(firstBlock + u"\r\u00e9", false),
         std::string(32766, 'a') + "\r\xe9", false},
        {"UTF-16 BE, many lines", utf16(std::u16string(lines.begin(), lines.end()), true), joinedLines, false},
        {"UTF-8, an accent now and then", "\xC3\xA9" + lines + "caf\xC3\xA9\r\n" + lines,
         "\xe9" + joinedLines + "caf\xe9\n" + joinedLines, false},
        {"UTF-16, a pair in two blocks", utf16(firstBlock + u"\U0001F600b", false), std::string(32766, 'a') + "?b",
         false},
        {"UTF-16, a pair", utf16(u"a\U0001F600b", false), "a?b", false},
        {"UTF-16, half a pair", utf16(u"a\xD83D", false), "a?", false},
        {"UTF-16, a first half without its second", utf16(u"a\xD83Dz", false), "a?z", false},
        {"UTF-16, a second half alone", utf16(u"a\xDE00z", false), "a?z", false},
        {"UTF-16, odd", utf16(u"ab", false) + "c", "ab?", false},
        {"UTF-8 with a mark",
         "\xEF\xBB\xBF"
         "caf\xC3\xA9 apple\r\n",
         "caf\xe9 apple\n", false},
        {"UTF-8", "caf\xC3\xA9 \xC4\x80pple\n", "caf\xe9 ?pple\n", false},
        {"UTF-8, then not", "caf\xC3\xA9\n" + longAscii + "\xE9t\xE9\n", "caf\xe9\n" + longAscii + "\xe9t\xe9\n",
         false},
        {"UTF-8 across a block", "caf\xC3\xA9" + longAscii.substr(0, 65530) + "\xC3\xA9x",
         "caf\xe9" + longAscii.substr(0, 65530) + "\xe9x", false},
        {"UTF-8 cut at the end", "caf\xC3\xA9 \xC3", "caf\xe9 \xc3", false},
        // A file is ASCII until its first byte from 0x80 up, and decided there.
        {"UTF-8, its first accent past the first block", longAscii + "caf\xC3\xA9\n", longAscii + "caf\xe9\n", false},
        {"UTF-8, a block's last byte its first", longAscii.substr(0, 65535) + "\xC3\xA9!",
         longAscii.substr(0, 65535) + "\xe9!", false},
        {"ANSI, its first accent past the first block", longAscii + "caf\xe9\r\n", longAscii + "caf\xe9\n", true},
        {"ANSI after UTF-8 within a block from the first", longAscii.substr(0, 65530) + "\xC3\xA9" + "1234\xE9!",
         longAscii.substr(0, 65530) + "\xC3\xA9" + "1234\xE9!", true},
        {"ANSI", "caf\xe9 apple\r\n", "caf\xe9 apple\n", true},
        {"ANSI that starts like UTF-8", "\xC3\xA9t\xE9 x", "\xC3\xA9t\xE9 x", true},
        {"a Ctrl+Z inside", "apple\x1a pear\r\napple\r", "apple\x1a pear\napple\r", true},
        {"a Ctrl+Z first",
         "\x1a"
         "apple",
         "\x1a"
         "apple",
         true},
        {"CR LF across a block", longAscii.substr(0, 65535) + "\r\nx", longAscii.substr(0, 65535) + "\nx", true},
        {"empty", "", "", true},
    };
    TextMemory kept;
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, readAll(c.bytes, true)) << c.what;
        // A count takes the same text, but plain bytes keep their carriage returns, and decoded
        // text may keep those before a line feed.
        std::string counted = readAll(c.bytes, false, Ending::TXT, 1000);
        if (!c.plain) {
            for (std::size_t at = counted.find("\r\n"); at != std::string::npos; at = counted.find("\r\n", at))
                counted.erase(at, 1);
        }
        EXPECT_EQ(c.plain ? c.bytes : c.text, counted) << c.what << ", counted";
        EXPECT_EQ(c.text, readAll(c.bytes, true, Ending::TXT, 4096, &kept)) << c.what << ", after the others";
    }
}

// A file's bytes, then zeros up to size: a large file without its memory.
class PaddedBytes final : public ByteSource {
public:
    PaddedBytes(const std::string& bytes, std::size_t size) : bytes(bytes), size(size) {}
    std::size_t read(char* into, std::size_t count) override
    {
        std::size_t n = 0;
        for (; n < count && at < size; ++n, ++at)
            into[n] = at < bytes.size() ? bytes[at] : '\0';
        return n;
    }

private:
    const std::string& bytes;
    std::size_t size;
    std::size_t at = 0;
};

// A document is read whole up to 256 MB; a larger one, here a small one padded after its end,
// is read as its bytes.
TEST(FileText, ADocumentTooLargeToReadWholeIsReadAsItsBytes)
{
    WordLayout layout;
    layout.pieces = {{"hello", true}};
    layout.storyLengths = {5};
    const std::string document = builtDocument(layout);
    const std::string signature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    const struct {
        Ending ending;
        std::size_t size;
        std::string start;
    } cases[] = {
        {Ending::DOC, 0, "hello"},
        {Ending::DOC, 256u * 1024 * 1024 + 1, signature},
        {Ending::TXT, 0, signature},  // a document only by its name's ending
    };
    Latin1252 codePage;
    for (const auto& c : cases) {
        PaddedBytes file(document, c.size > 0 ? c.size : document.size());
        FileText source(file, codePage, c.ending, false);
        std::string block(64 * 1024, '\0');
        block.resize(source.read(&block[0], block.size()));
        EXPECT_EQ(c.start, block.substr(0, c.start.size())) << c.size;
    }
}

}  // namespace

TEST(FileText, TheEndingAndTheFirstBytesChooseTheReader)
{
    const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Times;}}caf\\'e9 app{\\b le}\\par}";
    WordLayout longer, shorter;
    longer.pieces = {{"caf\xe9 apple pie", true}};
    longer.storyLengths = {14};
    shorter.pieces = {{"pear", true}};
    shorter.storyLengths = {4};
    const struct {
        const char* what;
        Ending ending;
        std::string bytes;
        std::string text;
        bool skipped = false;  // read as empty when a search tells it what it looks for cannot be there
    } cases[] = {
        // Each file after a document is read in the memory it was read in.
        {"a Word document", Ending::DOC, builtDocument(longer), "caf\xe9 apple pie"},
        {"a shorter document after it", Ending::DOC, builtDocument(shorter), "pear"},
        {"rich text", Ending::RTF, rtf, "caf\xe9 apple\n"},
        {"rich text saved as a document", Ending::DOC, rtf, "caf\xe9 apple\n"},
        {"rich text in a text file", Ending::TXT, rtf, rtf},
        {"a rich text file that is not", Ending::RTF, "plain {\\b apple}\n", "plain {\\b apple}\n"},
        {"a web page", Ending::HTM, "<title>Caf&eacute;</title><p>app<b>le</b> pie", "Caf\xe9\napple pie\n", true},
        {"a page with a letter from a reference", Ending::HTM, "<p>&#97;pple", "apple\n"},
        {"a page in a text file", Ending::TXT, "<p>app<b>le</b>", "<p>app<b>le</b>"},
        {"a page whose words are its bytes", Ending::HTM, "<title>Apples</title><p>red <b>apples</b>",
         "Apples\nred apples\n", true},
        {"rich text whose words are its bytes", Ending::RTF, "{\\rtf1\\ansi{\\fonttbl{\\f0 Times;}}red apples\\par}",
         "red apples\n", true},
        {"a page longer than a read", Ending::HTM, "<p>" + std::string(70000, 'a'), std::string(70000, 'a') + "\n"},
        {"a text file", Ending::TXT, "red apples", "red apples"},
    };
    // What a search asks when none of its words is among a file's bytes.
    struct NotAmongTheBytes final : WordsLookedFor {
        bool mayBeIn(const unsigned char* bytes, std::size_t length, TextKind kind) const override
        {
            return !lettersStandInBytes(kind, bytes, length);
        }
    } notAmong;
    TwoBytePage twoBytes;
    TextMemory kept;
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, readAll(c.bytes, true, c.ending)) << c.what;
        EXPECT_EQ(c.text, readAll(c.bytes, false, c.ending, 7)) << c.what << ", counted";
        EXPECT_EQ(c.text, readAll(c.bytes, false, c.ending, 7, &kept)) << c.what << ", after the others";
        EXPECT_EQ(c.skipped ? "" : c.text, readAll(c.bytes, false, c.ending, 7, &kept, &notAmong))
            << c.what << ", looked for";
        // A letter may be the second byte of a character in a page of two-byte characters.
        if (c.skipped) {
            EXPECT_EQ(readAll(c.bytes, false, c.ending, 7, &kept, nullptr, &twoBytes),
                      readAll(c.bytes, false, c.ending, 7, &kept, &notAmong, &twoBytes))
                << c.what << ", looked for in a two-byte page";
        }
    }
}
