// The text of web pages: small pages as browsers get them, row by row, each read whole, a byte
// at a time and cut in two at every point, which must all give the same text; and pages saved
// whole (tests/data/htm). Every piece comes in a block of exactly its size, so the sanitizer
// build catches a read past a block.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/AsciiRuns.h"
#include "support/Printable.h"
#include "support/GuardedBlock.h"
#include "support/Latin1252.h"
#include "support/TestData.h"
#include "support/TwoBytePage.h"
#include "text/WebPage.h"
#include "text/WordsInBytes.h"

namespace {

struct Row {
    const char* name;
    std::string page;
    std::u16string text;
    bool twoBytePage = false;  // read with TwoBytePage, not Latin1252
    // Its letters stand in its bytes and no markup after a letter may join (text/WordsInBytes.h).
    bool wordsInBytes = false;
};

// The text of page read in pieces that end at each of cuts and at the page's end.
std::u16string readInPieces(const std::string& page, const std::vector<std::size_t>& cuts, bool twoBytePage = false)
{
    Latin1252 latin;
    TwoBytePage twoBytes;
    WebPageReader reader(twoBytePage ? static_cast<const CodePage&>(twoBytes) : latin);
    std::u16string text;
    std::size_t from = 0;
    for (std::size_t i = 0; i <= cuts.size(); ++i) {
        std::size_t to = i < cuts.size() ? cuts[i] : page.size();
        GuardedBlock piece(to - from, '\0');
        page.copy(piece.data(), piece.size(), from);
        reader.take(piece.data(), piece.size(), text);
        from = to;
    }
    reader.finish(text);
    EXPECT_FALSE(twoBytes.halfConverted) << "half a character converted";
    return text;
}

// Checks that every row's page gives its text however its blocks fall, and whether its words
// can be looked for in its bytes: when its letters stand in them, every ASCII word of the text
// is found among them or cut where markup may join.
void expectTexts(const std::vector<Row>& rows)
{
    for (const Row& row : rows) {
        EXPECT_EQ("", wordsInBytesMismatch(TextKind::WEB_PAGE, row.page, row.text, row.wordsInBytes)) << row.name;
        EXPECT_EQ(printable(row.text), printable(readInPieces(row.page, {}, row.twoBytePage))) << row.name;
        std::vector<std::size_t> everyByte;
        for (std::size_t at = 1; at < row.page.size(); ++at)
            everyByte.push_back(at);
        EXPECT_EQ(printable(row.text), printable(readInPieces(row.page, everyByte, row.twoBytePage)))
            << row.name << ", bytewise";
        for (std::size_t at = 1; at < row.page.size(); ++at)
            EXPECT_EQ(printable(row.text), printable(readInPieces(row.page, {at}, row.twoBytePage)))
                << row.name << ", cut at " << at;
    }
}

TEST(WebPage, MarkupGivesTheTextABrowserShows)
{
    expectTexts({
        {"inline tags join", "<p>app<b>le</b> <i>pie</i></p>", u"apple pie\n"},
        {"blocks end lines", "<h1>Head</h1><p>One<div>Two<div>Three</div></div><ul><li>a<li>b</ul>",
         u"Head\nOne\nTwo\nThree\na\nb\n", false, true},
        {"br ends even empty lines", "a<br>b<br/><br>c</br>", u"a\nb\n\nc\n", false, true},
        {"white space runs", "  a \r\n\t b  <p> </p>  c ", u"a b\nc\n", false, true},
        {"pre keeps spaces", "x<pre>\n  a  b\r\nc\rd\n</pre> y", u"x\n  a  b\nc\nd\ny\n", false, true},
        {"a line feed after an empty pre", "<pre></pre>abc\ndef", u"abc def\n", false, true},
        {"long runs of words",
         "<p>abcdefgh ijklmnop  qrstuvwx\tyz0123456 78&amp;9abcdefg<b>hijklmn</b>opqrstu\nvwx \x01y012 </p>",
         u"abcdefgh ijklmnop qrstuvwx yz0123456 78&9abcdefghijklmnopqrstu vwx y012\n"},
        {"table cells", "<table><tr><td>a</td> <td>b c</td></tr>\n<tr><th>d<th></th><th>e</table>", u"a\tb c\nd\te\n",
         false, true},
        {"comments", "a<!-- x > y -- -->b<!-->c<!--->d<!doctype x>e<?php 1 ?>f<!--x--!>g</ 3>h</>i", u"abcdefghi\n"},
        {"script and style", "<script>if (a<b && c>d) s=\"</p>\";</script>x<style>p{}</style>y", u"xy\n"},
        {"end tag of a script", "<SCRIPT>a</scriptx> b</Script\t>c<noscript>d</noscript>", u"c\n"},
        {"head only title",
         "<html><head><title> A &amp; B </title><meta charset=utf-8><link rel=x></head>"
         "<body>Text</body></html>",
         u"A & B\nText\n", false, true},
        {"title is not markup", "<title>a<b> &lt;c</titl></title>d", u"a<b> <c</titl>\nd\n", false, true},
        {"less-than as text", "a < b, <3 and a<=b <", u"a < b, <3 and a<=b <\n", false, true},
        {"quoted greater-than", "<a title=\"x > y\" href='>' data-x=1>link</a>", u"link\n", false, true},
        {"named references", "&eacute;&eacute&amp&lt;&notit;&notin;&fjlig;&unknown;&AMP;x&",
         u"\u00e9\u00e9&<\u00acit;"
         u"\u2209fj&unknown;&x&\n"},
        {"numeric references", "&#233;&#xE9;&#X1F600;&#0;&#xD800;&#x110000;&#99999999999;&#150;&#x81;&#65&#;&#x;",
         u"\u00e9\u00e9\U0001F600\ufffd\ufffd\ufffd\ufffd\u2013\u0081A&#;&#x;\n"},
        {"reference across a block", "<p>x&#32;&#32;y&nbsp;z</p>", u"x y\u00a0z\n"},
        {"textarea", "<textarea>\n<b>x</b>\n &gt;y</textarea>z", u"<b>x</b>\n >y\nz\n", false, true},
        {"template hidden", "a<template><p>no</p></template>b<template>c", u"ab\n"},
        {"xmp and plaintext", "<xmp><b>&amp;</xmp><plaintext></plaintext>&amp;", u"<b>&amp;\n</plaintext>&amp;\n",
         false, true},
        {"unclosed comment", "a<!-- never closed", u"a\n"},
        {"unclosed script", "a<script>b", u"a\n"},
        {"cut-off tag", "a<b", u"a\n", false, true},
        {"cut-off end tag", "a</", u"a</\n", false, true},
        {"cut-off reference", "a&eacute", u"a\u00e9\n", false, true},
        {"zero bytes", std::string("a\0b<p\0>c<p>d", 12), u"abc\nd\n"},
        {"long tag name", "<pppppppppppppppppppppp>a</pppppppppppppppppppppp>b", u"ab\n"},
        {"tags that part words", "<p>one<br>two</p>three<td>four <b>five</b>!<i>six</i><div class=\"x>\">seven</p>",
         u"one\ntwo\nthree\tfour five!six\nseven\n", false, true},
        {"the end of a cell joins", "<td>cell</td>mate", u"cellmate\n"},
        {"an image joins", "x<img src=y>z", u"xz\n"},
        {"a quoted attribute joins", "a<b title=\">\">b", u"ab\n"},
    });
}

TEST(WebPage, EncodingComesFromTheMarkOrTheDeclarationElseUtf8ElseAnsi)
{
    std::string declared1252 = "<meta charset=\"windows-1252\">";
    std::string ascii(1100, 'a');
    expectTexts({
        {"meta charset", declared1252 + "caf\xc3\xa9", u"caf\u00c3\u00a9\n"},
        {"meta http-equiv", "<META HTTP-EQUIV=Content-Type CONTENT='text/html; charset=ISO-8859-1'>\xe2\x82\xac",
         u"\u00e2\u201a\u00ac\n"},
        {"content without http-equiv", "<meta content=\"text/html; charset=windows-1252\">\xc3\xa9", u"\u00e9\n"},
        {"declaration in a comment", "<!-- a > b <meta charset=windows-1252> -->\xc3\xa9", u"\u00e9\n"},
        {"declared utf-16 is utf-8", "<meta charset=utf-16>\xc3\xa9", u"\u00e9\n"},
        {"unknown to the system", "<meta charset=iso-8859-2>\xc3\xa9", u"\u00e9\n"},
        {"declared utf-8, a bad byte", "<meta charset=utf-8>caf\xe9!", u"caf\ufffd!\n"},
        {"utf-8 without declaration", "caf\xc3\xa9 \xf0\x9f\x98\x80", u"caf\u00e9 \U0001F600\n"},
        {"not utf-8", "caf\xe9 \xc3\xa9", u"caf\u00e9 \u00c3\u00a9\n"},
        {"utf-8 mark wins", "\xef\xbb\xbf" + declared1252 + "\xc3\xa9", u"\u00e9\n"},
        {"utf-16 le mark", std::string("\xff\xfe<\0p\0>\0h\0\xe9\0=\xd8\0\xde", 16), u"h\u00e9\U0001F600\n"},
        {"utf-16 be mark", std::string("\xfe\xff\0<\0p\0>\0h\0\xe9\xd8=", 14), u"h\u00e9\ufffd\n"},
        {"declaration past 1024 bytes", ascii + declared1252 + "\xc3\xa9", std::u16string(1100, u'a') + u"\u00e9\n"},
        {"ansi after utf-8", ascii + "\xc3\xa9 \xe9", std::u16string(1100, u'a') + u"\u00e9 \u00e9\n"},
        {"two-byte page declared", "<meta charset=sjis>\x82<\x82\xa0<p>\x9f\x9f", u"\u303c\u30a0\n\u309f\n", true},
        {"two-byte ansi after utf-8", ascii + "\x82\xa0\xc3\xa9\x81",
         std::u16string(1100, u'a') + u"\u30a0\u00e9\ufffd\n", true},
        {"two-byte ansi page", "\x82\xa0\x81&amp;\x81", u"\u30a0\u3026amp;\ufffd\n", true},
    });
}

// Pages far larger than a block, read in blocks of 4 KB: whatever they hold, the reader keeps
// no more than a block and a few counts, and reads on.
TEST(WebPage, HostilePagesGiveWhatCanBeRead)
{
    std::string deep, endless;
    for (int i = 0; i < 100000; ++i)
        deep += "<div><pre><template>";
    for (int i = 0; i < 100000; ++i)
        endless += "</template></pre></div>";
    const Row rows[] = {
        {"nested 100,000 deep", deep + "x" + endless + "y", u"y\n"},
        {"a tag of a megabyte", "a<p " + std::string(1 << 20, 'b') + ">c", u"a\nc\n"},
        {"an attribute never closed", "a<p title=\"" + std::string(1 << 20, '>'), u"a\n"},
        {"a comment never closed", "a<!--" + std::string(1 << 20, '-'), u"a\n"},
        {"a script never closed", "a<script>" + std::string(1 << 20, '<'), u"a\n"},
        {"a name of a megabyte", "&" + std::string(1 << 20, 'a') + ";", u"&" + std::u16string(1 << 20, u'a') + u";\n"},
    };
    for (const Row& row : rows) {
        std::vector<std::size_t> blocks;
        for (std::size_t at = 4096; at < row.page.size(); at += 4096)
            blocks.push_back(at);
        EXPECT_EQ(row.text, readInPieces(row.page, blocks)) << row.name;
    }
}

TEST(WebPage, SavedPagesGiveTheirText)
{
    expectTexts({
        {"article.htm", testData("htm/article.htm"),
         u"Apple harvest 2024 \u2013 Orchard News\nOrchard News\nThe apple harvest\n"
         u"Growers expect a r\u00e9cord crop this year: more than 12,000\u00a0tonnes.\n"
         u"\u201cIt\u2019s been a good season,\u201d said one grower.\nPosted in Farming \u00b7 3\u00a0comments\n"},
        {"help.htm", testData("htm/help.htm"),
         u"Search help\nSearch help\nKeys\nKey\tWhat it does\nF3\tFinds the next match\nCtrl+F\tPuts the caret "
         u"in the search box\nDrive names such as C:\\ are searched na\u00efvely & slowly.\n"},
    });
}

}  // namespace
