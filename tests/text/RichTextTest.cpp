// The text of rich text files: small inputs as writers produce them, hostile ones, and files a
// word processor wrote (tests/data/rtf, made by tools/make-rtf-documents.py). Every input is
// read whole, in two blocks split at each byte, and a byte at a time: a stream reader must
// give the same text however the blocks fall.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "support/AsciiRuns.h"
#include "support/Printable.h"
#include "support/Latin1252.h"
#include "support/TwoBytePage.h"
#include "text/RichText.h"
#include "text/WordsInBytes.h"

namespace {

std::u16string readInBlocks(const CodePage& pages, const std::string& rtf, std::size_t split, std::size_t block)
{
    RichTextReader reader(pages);
    std::u16string text;
    reader.take(rtf.data(), split, text);
    for (std::size_t at = split; at < rtf.size(); at += block)
        reader.take(rtf.data() + at, std::min(block, rtf.size() - at), text);
    reader.finish(text);
    return text;
}

// Reads rtf whole, split in two at every byte (at 64 places for a long input), and
// a byte at a time, and expects text each time.
void expectText(const CodePage& pages, const std::string& name, const std::string& rtf, const std::u16string& text)
{
    std::string expected = printable(text);
    EXPECT_EQ(expected, printable(readInBlocks(pages, rtf, rtf.size(), 1))) << name << ", whole";
    std::size_t step = rtf.size() / 64 + 1;
    for (std::size_t split = 0; split < rtf.size(); split += step)
        ASSERT_EQ(expected, printable(readInBlocks(pages, rtf, split, rtf.size()))) << name << ", split at " << split;
    EXPECT_EQ(expected, printable(readInBlocks(pages, rtf, 0, 1))) << name << ", a byte at a time";
}

struct Row {
    const char* name;
    std::string rtf;
    std::u16string text;
    // Its letters stand in its bytes and no markup after a letter may join (text/WordsInBytes.h).
    bool wordsInBytes = false;
};

TEST(RichText, GivesTheTextAReaderSees)
{
    const Row rows[] = {
        {"paragraphs", R"({\rtf1\ansi Hello\par World})", u"Hello\nWorld\n"},
        {"tables of the header",
         R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red0;}{\stylesheet{\s0 Normal;}})"
         R"({\info{\title T}{\author A}}{\*\rsidtbl \rsid1}{\*\listtable{\list x}}\f0 Body\par})",
         u"Body\n"},
        {"destinations", R"({\rtf1{\*\generator W;}{\*\unknown x}{\unknown y}{\*\fldinst z}{\listtext 1.\tab}\par})",
         u"y\n"},
        {"hex in 1252", R"({\rtf1\ansi caf\'e9 \'93q\'94 \'80\'81\'7a\par})",
         u"caf\u00e9 \u201cq\u201d \u20ac\uFFFDz\n"},
        {"page the system lacks", R"({\rtf1\ansi\ansicpg1251 \'e0\'e1\par})", u"??\n"},
        {"fonts' pages", R"({\rtf1\ansi{\fonttbl{\f0\fcharset204 A;}{\f1\fcharset0 B;}}\'e9{\f0\'e9}{\f1\'e9}})",
         u"\u00e9?\u00e9\n"},
        {"default font's page",
         R"({\rtf1\ansicpg1251\deff1{\fonttbl{\f0\fcharset0 A;}{\f1\cpg1252 B;}}\'e9\f0\'e9\plain\'e9})",
         u"\u00e9?\u00e9\n"},
        {"unicode", R"({\rtf1 \u8364?\u-1279?{\uc2\u8212\'97\'97}\u233ez\u8220\ldblquote\u946\{\uc3\u955{a}b\par})",
         u"\u20ac\uFB01\u2014\u00e9z\u201c\u03b2\u03bbab\n"},
        {"symbols", R"({\rtf1 a\~b\-c\_d \{x\} \\\par})", u"a bc-d {x} \\\n"},
        {"named characters", R"({\rtf1 \emdash\endash\lquote\rquote\ldblquote\rdblquote\bullet\tab x})",
         u"\u2014\u2013\u2018\u2019\u201c\u201d\u2022\tx\n"},
        {"line ends", R"({\rtf1 a\line b\par\par c\par\sect d\page\page e\row f\cell g})", u"a\nb\n\nc\nd\ne\nf\tg\n"},
        {"file line ends", "{\\rtf1 wo\r\nrd\\\nnext}", u"word\nnext\n"},
        {"long runs of text",
         "{\\rtf1\\ansi abcdefghijklmnop\r\nqrstuvwxyz\xe9\x01"
         "abcdefghijklmnopqrs\\b tuv}",
         u"abcdefghijklmnopqrstuvwxyz\u00e9abcdefghijklmnopqrstuv\n"},
        {"table", R"({\rtf1\trowd\cellx1000\cellx2000 apple\cell 1.20\cell\row\pard End\par})", u"apple\t1.20\t\nEnd\n",
         true},
        {"field",
         R"({\rtf1 See {\field{\*\fldinst HYPERLINK "x"}{\fldrslt the page}} and)"
         R"( {\field{\fldinst PAGE}{\fldrslt 3}}.\par})",
         u"See the page and 3.\n"},
        {"hidden", R"({\rtf1 a{\v secret}b\v c\v0 d{\v e\plain f}\par{\v h\par}i{\v\par}j})", u"abdf\ni\nj\n"},
        {"pictures and objects",
         R"({\rtf1 x{\pict\pngblip 8950}y{\object{\*\objdata 01}{\result z}}{\pict\bin4 }}}})"
         R"(}w\u955\bin2 }}v\bin0 u})",
         u"xyzw\u03bbvu\n"},
        {"bin past the end", R"({\rtf1 a\bin100 bc})", u"a\n"},
        {"asides",
         R"({\rtf1{\header\pard Report\par}Apples grew{\*\footnote\pard{\chftn} By hand.} well{\footnote 2}.})",
         u"Report\nApples grew well.\n By hand.\n2\n"},
        {"aside too long to hold", "{\\rtf1 a{\\footnote " + std::string(5000, 'x') + "}b\\par}",
         u"a\n" + std::u16string(RichTextLines::MAX_HELD_UNITS, u'x') + u"\nb\n" + std::u16string(904, u'x') + u"\n"},
        {"unicode alternative", R"({\rtf1{\upr{ansi}{\*\ud{uni}}}\par})", u"uni\n"},
        {"unbalanced", R"({\rtf1 a}}}{\v h}b{{{c)", u"abc\n"},
        {"truncated", R"({\rtf1 abc\'e)", u"abc\n"},
        {"truncated word", R"({\rtf1 abc\par)", u"abc\n", true},
        {"nul bytes", std::string("{\\rtf1 a\0b\\'00c}", 16), u"abc\n"},
        {"long parameter", R"({\rtf1 \u99999999999999999 x\bin-5 y})", u"?y\n"},
        {"word of a megabyte", "{\\rtf1 \\" + std::string(1 << 20, 'p') + "ar b}", u"b\n"},
        {"deep nesting", std::string(100000, '{') + "x" + std::string(100000, '}') + "y", u"xy\n"},
        {"hidden past the kept nesting", std::string(300, '{') + "\\v h" + std::string(300, '}') + "s", u"s\n"},
        {"words parted by control words",
         "{\\rtf1\\ansi\\ansicpg1252\\deff0 {\\fonttbl {\\f0 Times;}}\r\none two\\par\r\nthree\\tab four\\line "
         "five\\emdash six\\~seven\\cell eight.\\b0 }",
         u"one two\nthree\tfour\nfive\u2014six seven\teight.\n", true},
        {"formatting inside a word", R"({\rtf1 app\b le\b0 pie{\i s}})", u"applepies\n"},
        {"hidden text between two shown groups", R"({\rtf1{\v{\v0 app} zz {\v0 le}}})", u"apple\n"},
        {"ASCII text under a code page that would change it", R"({\rtf1\ansicpg65000 abc.})", u"abc.\n", true},
        {"an escaped letter", R"({\rtf1 x \'61b.})", u"x ab.\n"},
        {"a unicode letter", R"({\rtf1 x \u112?ie.})", u"x pie.\n"},
        {"a line end of the file inside a word", "{\\rtf1 wo\r\nrd\\par}", u"word\n"},
        {"text between \\* and its word, which then hides the group", R"({\rtf1 {\*{}cru\par hidden}st})", u"crust\n"},
    };
    Latin1252 pages;
    for (const Row& row : rows) {
        expectText(pages, row.name, row.rtf, row.text);
        EXPECT_EQ("", wordsInBytesMismatch(TextKind::RICH_TEXT, row.rtf, row.text, row.wordsInBytes)) << row.name;
    }
}

TEST(RichText, PairsTheBytesOfTwoByteCharacters)
{
    const Row rows[] = {
        {"escaped pair", R"({\rtf1\ansicpg932 \'82\'a0x\'82y\par})", u"\u30A0x\u3079\n"},
        {"lead without its second byte", R"({\rtf1\ansicpg932 \'82\par\'82)", u"?\n?\n"},
        {"pair as fallback", R"({\rtf1\ansicpg932\uc2\u12354\'82\'a0z})", u"\u3042z\n"},
    };
    TwoBytePage pages;
    for (const Row& row : rows)
        expectText(pages, row.name, row.rtf, row.text);
}

std::string testDocument(const std::string& name)
{
    std::ifstream in(std::string(KADREL_TEST_DATA) + "/rtf/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(RichText, DocumentsOfAWordProcessorGiveTheTextItShows)
{
    const Row rows[] = {
        {"accents.rtf", "",
         u"Caf\u00e9 \u201cna\u00efve\u201d \u2014 5 \u20ac each.\n"
         u"Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 ja\u017a\u0144. "
         u"P\u0159\u00edli\u0161 \u017elu\u0165ou\u010dk\u00fd k\u016f\u0148.\n"
         u"\u0421\u044a\u0435\u0448\u044c \u0435\u0449\u0451 \u044d\u0442\u0438\u0445 "
         u"\u0431\u0443\u043b\u043e\u043a.\n"},
        // Empty cells, and a cell of two paragraphs.
        {"table-cells.rtf", "", u"\tapple\t\t\ntwo\nlines\t\tpear\t\nAfter.\n"},
        // The header comes twice in the file, once in a table of page styles, which is left out.
        {"footnote-header.rtf", "",
         u"Quarterly orchard report\nApples grew well this year.\n\tCounted by hand in October.\n"},
    };
    Latin1252 pages;
    for (const Row& row : rows)
        expectText(pages, row.name, testDocument(row.name), row.text);
}

}  // namespace
