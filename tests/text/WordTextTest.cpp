// The text of Word documents: ones a word processor wrote (tests/data/word, made by
// tools/make-word-documents.py), ones built here in layouts it does not write, and hostile
// ones made from both. This file needs no <windows.h>, so it also runs in the sanitizer
// build (fuzz), where every hostile document is read from a block that ends where the
// file does: one byte read too far fails it there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "text/WordText.h"
#include "support/Printable.h"
#include "support/GuardedBlock.h"
#include "support/WordBuilder.h"

namespace {

std::string testDocument(const std::string& name)
{
    std::ifstream in(std::string(KADREL_TEST_DATA) + "/word/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Reads bytes from a block of exactly their size.
bool readGuarded(const std::string& bytes, std::u16string& text)
{
    GuardedBlock block(bytes.size(), '\0');
    if (!bytes.empty())
        std::copy(bytes.begin(), bytes.end(), block.data());
    return readWordText(block.data(), block.size(), text);
}

TEST(WordText, DocumentsOfAWordProcessorGiveTheTextItShows)
{
    const struct {
        const char* file;
        std::u16string text;
    } cases[] = {
        {"plain.doc", u"The quick brown fox jumps over the lazy dog.\nAn apple a day keeps the doctor away.\n"},
        {"accents.doc", u"Caf\u00e9 \u201cna\u00efve\u201d \u2014 5 \u20ac each.\n"
                        u"Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 ja\u017a\u0144. "
                        u"P\u0159\u00edli\u0161 \u017elu\u0165ou\u010dk\u00fd k\u016f\u0148.\n"
                        u"\u0421\u044a\u0435\u0448\u044c \u0435\u0449\u0451 \u044d\u0442\u0438\u0445 "
                        u"\u0431\u0443\u043b\u043e\u043a.\n"},
        {"table.doc", u"Fruit prices:\napple\t1.20\t\npear\t0.90\t\nEnd of list.\n"},
        // Empty cells, and a cell of two paragraphs.
        {"table-cells.doc", u"\tapple\t\t\ntwo\nlines\t\tpear\t\nAfter.\n"},
        {"hyperlink.doc", u"See the orchard page for apples.\n"},
        // The footnote's number is left out; the writer puts a tab after it. Headers come as
        // the writer lays out their stories, with empty paragraphs between.
        {"footnote-header.doc",
         u"Apples grew well this year.\n\tCounted by hand in October.\n\nQuarterly orchard report\n\n\n\n\n"},
    };
    for (const auto& c : cases) {
        std::u16string text;
        EXPECT_TRUE(readGuarded(testDocument(c.file), text)) << c.file;
        EXPECT_EQ(printable(c.text), printable(text)) << c.file;
    }
}

std::string utf16(const std::u16string& text)
{
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

BuiltPiece ansi(const std::string& bytes)
{
    return {bytes, true};
}

BuiltPiece wide(const std::u16string& text)
{
    return {utf16(text), false};
}

WordLayout oneStory(std::vector<BuiltPiece> pieces)
{
    std::uint32_t length = 0;
    for (const BuiltPiece& piece : pieces)
        length += static_cast<std::uint32_t>(piece.compressed ? piece.bytes.size() : piece.bytes.size() / 2);
    WordLayout layout;
    layout.pieces = std::move(pieces);
    layout.storyLengths = {length};
    return layout;
}

TEST(WordText, PiecesFieldsTablesAndStoriesGiveTheTextShown)
{
    WordLayout stories = oneStory({ansi("a\x13"
                                        "b\rfn\rX\r")});
    stories.storyLengths = {4, 3, 0, 0, 0, 0, 0};  // the last paragraph mark closes the stories
    // Every story but the footnotes; the header starts with a field, right after an empty story.
    WordLayout allStories = oneStory({ansi("a\x13\x13x\x14y\x15\ran\rend\rbox\rhbx\r\r")});
    allStories.storyLengths = {2, 0, 6, 3, 4, 4, 4};
    WordLayout withProperties = oneStory({ansi("abc")});
    withProperties.propertyRecord = true;
    WordLayout bigSectors = oneStory({ansi("big sectors")});
    bigSectors.sectorShift = 12;
    WordLayout difat = oneStory({ansi("through the DIFAT")});
    difat.extraDifat = true;

    const struct {
        const char* what;
        WordLayout layout;
        std::u16string text;
    } cases[] = {
        {"8-bit text maps 0x82-0x9F as Windows-1252 but for the bytes it leaves alone",
         oneStory({ansi("caf\xe9 \x93ok\x94 \x85 \x80\x8e\x9f")}),
         u"caf\u00e9 \u201cok\u201d \u2026 \u0080\u008e\u0178"},
        {"8-bit and UTF-16 pieces follow one another",
         oneStory({ansi("ab "), wide(u"\u0142\u00f3d\u017a "), ansi("cd")}), u"ab \u0142\u00f3d\u017a cd"},
        {"a field shows its result", oneStory({ansi("see \x13 HYPERLINK \"http://x/\" \x14the page\x15.")}),
         u"see the page."},
        {"nested fields show only results",
         oneStory({ansi("[\x13 IF \x13 DATE \x14"
                        "1\x15 = 1 \x14r\x13 PAGE \x14"
                        "2\x15s\x15]")}),
         u"[r2s]"},
        {"a field without a separator shows nothing", oneStory({ansi("p\x13 PAGE \x15q")}), u"pq"},
        {"a macro button shows its display text, but inside an instruction",
         oneStory({ansi("p\x13 MACROBUTTON NoMacro [Click here] \x15q "
                        "[\x13 IF \x13 MACROBUTTON m hidden\x15 \x14\x13 macrobutton m shown\x15\x15]")}),
         u"p[Click here]q [shown]"},
        {"a macro button without display text, and a field that only starts like one",
         oneStory({ansi("p\x13 MACROBUTTON Only \x15\x13 MACROBUTTONS m x\x15q")}), u"pq"},
        {"without paragraph properties every cell mark ends a cell",
         oneStory({ansi("a\x07"
                        "b\x07\x07")}),
         u"a\tb\t\t"},
        {"breaks end lines, objects and other controls show nothing",
         oneStory({ansi("p\rl\x0bg\x0c"
                        "c\x0e"
                        "t\tx\x01y\x08z\x1en\x1fo\x02\x05\x03.")}),
         u"p\nl\ng\nc\nt\txyz-no."},
        {"a field left open ends with its story", stories, u"afn\n"},
        {"each story's text is read whole", allStories, u"ay\nan\nend\nbox\nhbx\n"},
        {"property records before the piece table are passed over", withProperties, u"abc"},
        {"4096-byte sectors", bigSectors, u"big sectors"},
        {"a FAT listed in a DIFAT sector", difat, u"through the DIFAT"},
    };
    for (const auto& c : cases) {
        std::u16string text;
        EXPECT_TRUE(readGuarded(builtDocument(c.layout), text)) << c.what;
        EXPECT_EQ(printable(c.text), printable(text)) << c.what;
    }
}

// Where a built document keeps things (tests/support/WordBuilder.h), with 512-byte sectors.
const std::size_t FAT = 512;                // sector 0
const std::size_t WORD_ENTRY = 1024 + 128;  // the directory (sector 1)'s second entry
const std::size_t WORD_STREAM = 1536;       // sector 2
const std::size_t TABLE_STREAM = WORD_STREAM + BUILT_STREAM_SIZE;

// The offset of the WordDocument stream's FIB in a document a word processor wrote: a small
// document keeps it in the mini stream, at a multiple of 64.
std::size_t fibOf(const std::string& file)
{
    std::size_t at = file.find("\xec\xa5");
    while (at != std::string::npos && at % 64 != 0)
        at = file.find("\xec\xa5", at + 1);
    return at;
}

const std::size_t PAGE = WORD_STREAM + 6 * 512;  // a free page of the WordDocument stream

// Points the built document's bin table of paragraph properties, in its table stream at
// 0x800, at page number page of the WordDocument stream: PAGE for page 6.
void propertyPage(std::string& file, std::uint32_t page)
{
    put32(file, WORD_STREAM + 0x102, 0x800);
    put32(file, WORD_STREAM + 0x106, 12);
    put32(file, TABLE_STREAM + 0x800 + 8, page);
}

TEST(WordText, ARowEndsWhereItsParagraphPropertiesSay)
{
    // A row's last mark has properties: style 0, then sprms that end in sprmPFTtp 1. Before
    // it, a sprmTDefTable of 267 bytes of operand (its size 16-bit, above 255), or a sprm of
    // a three-byte operand.
    const std::string defTable = std::string("\0\0\x08\xD6\x0A\x01", 6) + std::string(265, '\0') + "\x17\x24\x01";
    const std::string threeBytes = std::string("\0\0\x34\xE6\0\0\0", 7) + "\x17\x24\x01";
    const std::string noTable = std::string("\0\0\x08\xD6\0\0", 6) + "\x17\x24\x01";  // a size of 0
    const struct {
        const char* what;
        std::string text;                   // at byte 0x400 of the WordDocument stream
        std::vector<std::uint32_t> bounds;  // of the runs of paragraphs
        std::vector<bool> rowEnds;          // which runs end a row
        const std::string& properties;
        const char* shown;
    } cases[] = {
        {"after a sprmTDefTable",
         "a\x07"
         "b\x07\x07"
         "c",
         {0x404, 0x405},
         {true},
         defTable,
         "a<0009>b<0009><000A>c"},
        {"after a three-byte sprm",
         "a\x07"
         "b\x07\x07"
         "c",
         {0x404, 0x405},
         {true},
         threeBytes,
         "a<0009>b<0009><000A>c"},
        {"not after a sprmTDefTable of no size",
         "a\x07"
         "b\x07\x07"
         "c",
         {0x404, 0x405},
         {true},
         noTable,
         "a<0009>b<0009><0009>c"},
        {"a row whose first cell is empty",
         "a\x07\x07\x07"
         "b\x07\x07",
         {0x402, 0x403, 0x406, 0x407},
         {true, false, true},
         threeBytes,
         "a<0009><000A><0009>b<0009><000A>"},
    };
    for (const auto& c : cases) {
        std::string file = builtDocument(oneStory({ansi(c.text)}));
        propertyPage(file, 6);
        file[PAGE + 511] = static_cast<char>(c.rowEnds.size());
        for (std::size_t k = 0; k < c.bounds.size(); ++k)
            put32(file, PAGE + 4 * k, c.bounds[k]);
        // The properties at 64 of the page: a zero byte, their size in words, then them.
        const std::size_t entries = 4 * c.bounds.size();
        for (std::size_t k = 0; k < c.rowEnds.size(); ++k)
            file[PAGE + entries + 13 * k] = c.rowEnds[k] ? 32 : 0;
        file[PAGE + 65] = static_cast<char>((c.properties.size() + 1) / 2);
        file.replace(PAGE + 66, c.properties.size(), c.properties);
        std::u16string text;
        EXPECT_TRUE(readGuarded(file, text)) << c.what;
        EXPECT_EQ(c.shown, printable(text)) << c.what;
    }
}

TEST(WordText, ADifatSectorThatEndsTheFileIsRead)
{
    WordLayout layout = oneStory({ansi("last sector")});
    layout.extraDifat = true;
    std::string file = builtDocument(layout);
    // The DIFAT sector (sector 1) copied past the file's last sector, where the header finds it.
    put32(file, 0x44, static_cast<std::uint32_t>(file.size() / 512 - 1));
    file += file.substr(2 * 512, 512);
    std::u16string text;
    EXPECT_TRUE(readGuarded(file, text));
    EXPECT_EQ("last sector", printable(text));
}

TEST(WordText, HostileDocumentsAreNotWordText)
{
    const std::string written = testDocument("plain.doc");
    const std::string built = builtDocument(oneStory({ansi("hello")}));
    const std::string threePieces = builtDocument(
        oneStory({ansi(std::string(1000, 'a')), ansi(std::string(1000, 'b')), ansi(std::string(1000, 'c'))}));
    ASSERT_NE(std::string::npos, fibOf(written));
    // The built document's piece table: one piece, its CPs at 5 and 9 of the table stream,
    // its FcCompressed at 15.
    const std::size_t firstCp = TABLE_STREAM + 5;
    const std::size_t lastCp = TABLE_STREAM + 9;
    const std::size_t fc = TABLE_STREAM + 15;
    using Mutation = std::function<void(std::string&)>;
    const struct {
        const char* what;
        const std::string& from;
        Mutation mutate;
    } cases[] = {
        {"an empty file", written, [](std::string& f) { f.clear(); }},
        {"only the signature", written, [](std::string& f) { f.resize(8); }},
        {"only the header", written, [](std::string& f) { f.resize(512); }},
        {"cut in half", written, [](std::string& f) { f.resize(f.size() / 2); }},
        {"cut by one byte", written, [](std::string& f) { f.pop_back(); }},
        {"a stream's last sector cut short", built, [](std::string& f) { f.resize(f.size() - 100); }},
        {"wrong signature", written, [](std::string& f) { f[7] = 0; }},
        {"wrong FIB magic", written, [](std::string& f) { f[fibOf(f)] = 0; }},
        {"Word 95 nFib", written, [](std::string& f) { put16(f, fibOf(f) + 2, 0x68); }},
        {"encrypted", written, [](std::string& f) { f[fibOf(f) + 0x0B] |= 0x01; }},
        {"the other table stream named", written, [](std::string& f) { f[fibOf(f) + 0x0B] ^= 0x02; }},
        {"FIB sizes past the stream", built, [](std::string& f) { put16(f, WORD_STREAM + 0x98, 0xFFFF); }},
        {"negative story length", built, [](std::string& f) { put32(f, WORD_STREAM + 0x4C, 0xFFFFFFFB); }},
        {"a sector chain that loops", built, [](std::string& f) { put32(f, FAT + 4 * 3, 2); }},
        {"a FAT entry past the end", built, [](std::string& f) { put32(f, FAT + 4 * 2, 0x00FFFFFF); }},
        {"a FAT sector past the end", built, [](std::string& f) { put32(f, 0x4C, 0x00FFFFFF); }},
        {"a DIFAT chain that loops", built,
         [](std::string& f) {
             // Enough sectors for the FAT to need a second DIFAT sector, which is the first again.
             const std::uint32_t last = static_cast<std::uint32_t>(f.size() / 512 - 1 + 239);
             f.resize(f.size() + 240 * 512, '\0');
             put32(f, 0x2C, 240);
             std::fill(f.begin() + 0x4C, f.begin() + 0x200, '\0');
             put32(f, 0x44, last);
             put32(f, 0x48, 1);
             put32(f, (last + 1) * 512 + 508, last);
         }},
        {"a directory chain that loops", built, [](std::string& f) { put32(f, FAT + 4, 1); }},
        {"a stream size past the file", built, [](std::string& f) { put32(f, WORD_ENTRY + 0x78, 0x7FFFFFFF); }},
        {"no WordDocument stream", built, [](std::string& f) { f[WORD_ENTRY] = 'X'; }},
        {"a Clx past the table stream", built, [](std::string& f) { put32(f, WORD_STREAM + 0x1A6, 0x10000); }},
        {"a piece table not starting at 0", built, [=](std::string& f) { put32(f, firstCp, 1); }},
        {"a piece table ending before the text", built, [=](std::string& f) { put32(f, lastCp, 4); }},
        {"a piece past the stream", built,
         [=](std::string& f) {
             put32(f, WORD_STREAM + 0x4C, 0x7FFFFF);
             put32(f, lastCp, 0x7FFFFF);
         }},
        {"a piece's text past the stream", built, [=](std::string& f) { put32(f, fc, 0x3FFFFFFF); }},
        {"pieces reading more than the stream", threePieces,
         [](std::string& f) {
             // Each piece fits, but all three read the same bytes: more text than the stream holds.
             put32(f, WORD_STREAM + 0x4C, 4500);
             for (std::uint32_t i = 1; i <= 3; ++i)
                 put32(f, TABLE_STREAM + 5 + 4 * i, 1500 * i);
             for (std::size_t i = 0; i < 3; ++i)
                 put32(f, TABLE_STREAM + 23 + 8 * i, (BUILT_TEXT_OFFSET * 2) | 0x40000000u);
         }},
    };
    for (const auto& c : cases) {
        std::string file = c.from;
        c.mutate(file);
        std::u16string text = u"left over";
        EXPECT_FALSE(readGuarded(file, text)) << c.what;
        EXPECT_TRUE(text.empty()) << c.what;
    }
}

TEST(WordText, DamagedParagraphPropertiesCostOnlyTheRowsEnds)
{
    // The row of ARowEndsWhereItsParagraphPropertiesSay, its end lost with the table.
    std::string withRow = builtDocument(oneStory({ansi("a\x07"
                                                       "b\x07\x07"
                                                       "c")}));
    propertyPage(withRow, 6);
    withRow[PAGE + 511] = 1;
    put32(withRow, PAGE, 0x404);
    put32(withRow, PAGE + 4, 0x405);
    withRow[PAGE + 8] = 15;
    withRow[PAGE + 31] = 3;
    put16(withRow, PAGE + 34, 0x2417);
    withRow[PAGE + 36] = 1;
    using Mutation = std::function<void(std::string&)>;
    const struct {
        const char* what;
        Mutation mutate;
    } cases[] = {
        {"paragraph properties past the table stream", [](std::string& f) { put32(f, WORD_STREAM + 0x106, 0x10000); }},
        {"a page of paragraph properties past the stream",
         [](std::string& f) { put32(f, TABLE_STREAM + 0x800 + 8, 0x3FFFFF); }},
        {"a page of paragraph properties named twice",
         [](std::string& f) {
             put32(f, WORD_STREAM + 0x106, 20);
             put32(f, TABLE_STREAM + 0x800 + 12, 6);
             put32(f, TABLE_STREAM + 0x800 + 16, 6);
         }},
        {"a page of more runs than it holds", [](std::string& f) { f[PAGE + 511] = 30; }},
        {"a paragraph's properties past its page",
         [](std::string& f) {
             f[PAGE + 8] = 127;
             f[PAGE + 254] = static_cast<char>(200);
         }},
    };
    std::u16string text;
    EXPECT_TRUE(readGuarded(withRow, text));
    EXPECT_EQ("a<0009>b<0009><000A>c", printable(text));
    for (const auto& c : cases) {
        std::string file = withRow;
        c.mutate(file);
        text.clear();
        EXPECT_TRUE(readGuarded(file, text)) << c.what;
        EXPECT_EQ("a<0009>b<0009><0009>c", printable(text)) << c.what;
    }
}

}  // namespace
