#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "match/LineScan.h"
#include "text/ProcessorFeatures.h"
#include "search/ReadCutter.h"
#include "search/SearchState.h"
#include "search/StreamScan.h"
#include "match/WordFilter.h"
#include "match/WordRules.h"
#include "support/MemoryBytes.h"
#include "support/Recorders.h"
#include "support/Letters1252.h"
#include "support/StreamTexts.h"
#include "support/WholeLines.h"

namespace {

// The count the way the rule reads: every line on its own, every line word against every
// query word.
int referenceCount(const std::string& text, const char* query)
{
    std::unique_ptr<LineScan> scan(new LineScan);
    scan->setQuery(query, nullptr);
    int count = 0;
    for (const std::string& line : referenceLines(text))
        count += scanWholeLine(*scan, line, 0, nullptr);
    return count;
}

const char* const QUERIES[] = {
    "cat",
    "zephyrquill marrowfat sextant brindled topgallant",
    "e",
    "ab abc",
    "cat cat",
    "a1 9 x86 CAT",
    "alpha bravo charlie delta echo foxtrot golf hotel india juliet kilo lima mike november oscar "
    "papa quebec romeo sierra tango",
    "",
    " ,, ",
    "Sextant-lantern",
};

const ScanFeatures FEATURES[] = {ScanFeatures::BYTES, ScanFeatures::SSE2, ScanFeatures::SSSE3, ScanFeatures::AVX2};

class StreamScanTest : public testing::Test {
protected:
    void SetUp() override { resetSharedState(); }
    void TearDown() override
    {
        resetSharedState();
        limitScanFeatures(ScanFeatures::AVX2);
    }

    ScopedWordTable letters{wordTable1252()};
};

// Every scan the processor allows, with blocks of a few sizes, against the plain rule.
void expectCountsAgree(const std::string& text, const std::string& query, const std::string& context)
{
    int expected = referenceCount(text, query.c_str());
    QueryWords words;
    ASSERT_TRUE(words.parse(query.c_str()));
    std::vector<char> buffer(64 * 1024);
    const std::size_t capacities[] = {STREAM_BLOCK_MINIMUM, STREAM_BLOCK_MINIMUM + 7, 64 * 1024};
    for (ScanFeatures features : FEATURES) {
        limitScanFeatures(features);
        for (std::size_t capacity : capacities) {
            MemoryBytes source(text);
            EXPECT_EQ(expected, countStreamMatches(source, words, buffer.data(), capacity))
                << context << ", query '" << query.substr(0, 60) << "', features " << static_cast<int>(features)
                << ", blocks of " << capacity;
        }
    }
}

TEST_F(StreamScanTest, CountAgreesWithTheLineByLineRuleOnGeneratedText)
{
    for (unsigned seed = 1; seed <= 3; ++seed) {
        std::string text = generatedText(seed, 60000);
        std::vector<std::string> queries(std::begin(QUERIES), std::end(QUERIES));
        queries.push_back(longWord(700));
        for (const std::string& typed : queries) {
            for (int caseSensitive = 0; caseSensitive <= 1; ++caseSensitive) {
                for (int wholeWordsOnly = 0; wholeWordsOnly <= 1; ++wholeWordsOnly) {
                    searchOptions.caseSensitive = caseSensitive;
                    searchOptions.wholeWordsOnly = wholeWordsOnly;
                    std::string query = typed;
                    if (!caseSensitive)
                        foldInPlace(&query[0]);
                    expectCountsAgree(text, query,
                                      "seed " + std::to_string(seed) + ", case " + std::to_string(caseSensitive) +
                                          ", whole " + std::to_string(wholeWordsOnly));
                }
            }
        }
    }
}

TEST_F(StreamScanTest, CountsAsWorkedOutByHandInEveryLetterCase)
{
    // Written out by hand rather than taken from the word rules the scans share: the letters
    // from A to Z and 1252's capitals fold when case is ignored, and the bytes just beside
    // them separate words.
    const struct {
        const char* text;
        const char* query;  // as a search passes it: lower-cased unless case counts
        int caseSensitive;
        int wholeWordsOnly;
        int count;
    } cases[] = {
        {"ZEBRA zebra Zebra zEbRa", "zebra", 0, 1, 4},
        {"ZEBRA zebra Zebra zEbRa", "Zebra", 1, 1, 1},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz", 0, 1, 1},
        {"AZA QUIZ Z QUIZZICAL", "z", 0, 0, 4},
        {"AZA QUIZ Z QUIZZICAL", "z zz", 0, 1, 1},
        {"A@B[C`D{E/F:G", "a b c d e f g", 0, 1, 7},
        {"JAZZ\nJazz\r\njazz", "jazz", 0, 1, 3},
        {"caf\xc9 CAF\xe9 \xdaZ", "caf z", 0, 1, 0},
        {"CAF\xc9 caf\xe9 Caf\xc9 cafeteria", "caf\xe9", 0, 0, 3},
        {"CAF\xc9 caf\xe9 Caf\xc9", "Caf\xc9", 1, 1, 1},
        {"\x8aKODA \x9akoda \x8cUVRE \x8eUPA", "\x9akoda \x9cuvre \x9eupa", 0, 1, 4},
        {"\x9f"
         "E \xff"
         "e \xdf"
         "E STRASSE \xb5M",
         "\xff"
         "e \xdf"
         "e \xb5m",
         0, 1, 4},
        {"r\xe9sum\xe9 r sum", "r sum", 0, 1, 2},
        {"a\xd7"
         "b a\xf7"
         "b \xbf"
         "a\xab"
         "b\xbb",
         "a b", 0, 1, 6},
    };
    std::vector<char> buffer(STREAM_BLOCK_MINIMUM);
    for (const auto& c : cases) {
        searchOptions.caseSensitive = c.caseSensitive;
        searchOptions.wholeWordsOnly = c.wholeWordsOnly;
        // Long enough on both sides for the vector scans to take the words in their stride.
        std::string text = std::string(61, '.') + c.text + std::string(67, '.');
        EXPECT_EQ(c.count, referenceCount(text, c.query)) << c.text << " / " << c.query;
        QueryWords words;
        ASSERT_TRUE(words.parse(c.query));
        for (ScanFeatures features : FEATURES) {
            limitScanFeatures(features);
            MemoryBytes source(text);
            EXPECT_EQ(c.count, countStreamMatches(source, words, buffer.data(), buffer.size()))
                << c.text << " / " << c.query << ", features " << static_cast<int>(features);
        }
    }
}

TEST_F(StreamScanTest, CapitalsThatDifferFromTheirSmallLettersInOtherBitsAreFound)
{
    // Code page 1250's: \xa5 and \xb9, \xa3 and \xb3, \x8f and \x9f, \xbc and \xbe.
    ScopedWordTable page1250(wordTableOf("\x8f\x9f\xa3\xa5\xb3\xb9\xbc\xbe", "\x8f\xa3\xa5\xbc", "\x9f\xb3\xb9\xbe"));
    const struct {
        const char* text;
        const char* query;
        int count;
    } cases[] = {
        {"\xa5"
         "BC \xb9"
         "bc \xa5"
         "bc",
         "\xb9"
         "bc",
         3},
        {"x\xa3 x\xb3 X\xbcY x\xbey", "x\xb3 x\xbey", 4},
        {"\x8f\x9f \x9f\x8f q\x8fq", "\x9f\x9f q\x9fq", 3},
        {"\xa5\xa3\xbc\x8f \xb9\xb3\xbe\x9f ab", "\xb9\xb3\xbe\x9f ab cd", 3},
    };
    std::vector<char> buffer(STREAM_BLOCK_MINIMUM);
    searchOptions.wholeWordsOnly = 1;
    for (const auto& c : cases) {
        std::string text = std::string(61, '.') + c.text + std::string(67, '.');
        EXPECT_EQ(c.count, referenceCount(text, c.query)) << c.text;
        QueryWords words;
        ASSERT_TRUE(words.parse(c.query));
        for (ScanFeatures features : FEATURES) {
            limitScanFeatures(features);
            MemoryBytes source(text);
            EXPECT_EQ(c.count, countStreamMatches(source, words, buffer.data(), buffer.size()))
                << c.text << ", features " << static_cast<int>(features);
        }
    }
}

TEST_F(StreamScanTest, CountAgreesAtTheEdgesOfReadsAndBlocks)
{
    // Query words placed so that they straddle, touch or just miss the edges that the
    // reads (1023 bytes) and the blocks (8 KiB here) put into the text.
    std::vector<std::string> texts;
    for (std::size_t shift = 0; shift < 12; ++shift) {
        texts.push_back(std::string(1023 - shift, 'x') + "cat cat\n");
        texts.push_back(std::string(1023 - shift, ' ') + "cat cat\n");
        texts.push_back(std::string(8192 - shift, ' ') + "zephyrquill zephyrquill");
        texts.push_back(std::string(8192 - 1023 - shift, ' ') + std::string(1022, 'q') + "cat");
        texts.push_back(std::string(3 * 1023 - shift, 'k') + "cat");
        texts.push_back(std::string(1020 - shift, ' ') + std::string(1, '\0') + " cat\ncat");
    }
    texts.push_back("cat");
    texts.push_back("");
    texts.push_back(std::string(1, '\0'));
    texts.push_back(std::string(20000, 'c') + "at");
    texts.push_back("CAT" + std::string(20000, 'c') + "at");
    texts.push_back(std::string(20000, 'c') + "at" + std::string(1, '\0') + "cat\ncat");
    texts.push_back(std::string(9000, ' ') + std::string(1, '\0') + std::string(9000, ' ') + "cat\ncat");
    for (int caseSensitive = 0; caseSensitive <= 1; ++caseSensitive) {
        searchOptions.caseSensitive = caseSensitive;
        for (int wholeWordsOnly = 0; wholeWordsOnly <= 1; ++wholeWordsOnly) {
            searchOptions.wholeWordsOnly = wholeWordsOnly;
            for (const char* query : {"cat", "cat zephyrquill", "zephyrquill", "c", "kcat", "CAT"}) {
                if (!caseSensitive && query[0] == 'C')
                    continue;  // a search that ignores case folds its query first
                for (std::size_t i = 0; i < texts.size(); ++i) {
                    expectCountsAgree(texts[i], query,
                                      "edge text " + std::to_string(i) + ", case " + std::to_string(caseSensitive) +
                                          ", whole " + std::to_string(wholeWordsOnly));
                }
            }
        }
    }
}

TEST_F(StreamScanTest, AWordAcrossTwoBlocksIsJudgedWhole)
{
    searchOptions.wholeWordsOnly = 1;
    for (std::size_t length : {5u, 12u, 40u, 300u, 1000u, 1023u, 1024u, 1500u, 9000u, 20000u}) {
        std::string word = std::string(length - 3, 'q') + "cat";
        for (std::size_t shift : {std::size_t(1), std::size_t(3), length / 2, length - 1, length + 1}) {
            std::string text = std::string(3 * STREAM_BLOCK_MINIMUM - shift, ' ') + word + " " + word;
            // A query word is at most as long as the search string.
            std::string whole = length <= LONGEST_QUERY_WORD ? word : std::string("qcat");
            for (const std::string& query : {whole, std::string("cat"), whole + " cat"})
                expectCountsAgree(text, query,
                                  "word of " + std::to_string(length) + ", shift " + std::to_string(shift));
        }
    }
}

// Whether the words may be in a markup file's text: among its bytes anywhere, in any letter
// case, or cut by markup that may join; always when a byte from 0x80 up could match a query
// byte, or the letters do not stand in the bytes.
TEST_F(StreamScanTest, QueryWordsAreLookedForAmongTheBytes)
{
    const char* const five = "zephyrquill marrowfat sextant brindled topgallant";
    const TextKind page = TextKind::WEB_PAGE, rtf = TextKind::RICH_TEXT;
    struct Case {
        TextKind kind;
        std::string bytes;
        const char* query;
        bool may;
    };
    std::vector<Case> cases = {
        {page, "<p>A ZEBRA</p>", "zebra", true},
        {page, "<p>zebras</p>", "zebra", true},
        {page, "<p>zebr a zebr</p>", "zebra", false},
        {page, "no such words here", five, false},
        {page, "a BRINDLED cat", five, true},
        {page, std::string(300, 'x') + "topgallant", five, true},
        {page, std::string(300, 'x') + "topgallan", five, false},
        {page, "<p>caf\xc3\xa9</p>", "caf\xe9", true},  // a query byte from 0x80 up
        {page, "plain", "", false},
        // A start of a word before markup that may join it, or surely parts it.
        {page, "<p>zeb<b>ra</b></p>", "zebra", true},
        {page, "<p>z<!-- -->ebra</p>", "zebra", true},
        {page, "<p>zeb</p><p>ra</p>", "zebra", false},
        {page, "<p>Z<br>ebra", "zebra", false},
        {page, "<p>the sextan<b>t</b> and the ma</p>", five, true},
        {page, "<p>the sextan</p> and the ma</p>", five, false},
        {page, "<p>zebr", "zebra", false},
        {rtf, "{\\rtf1 zeb{\\b ra}}", "zebra", true},
        {rtf, "{\\rtf1 zeb\\-ra}", "zebra", true},
        {rtf, "{\\rtf1 zeb\r\nra}", "zebra", true},
        {rtf, "{\\rtf1 zeb\\par ra}", "zebra", false},
        {rtf, "{\\rtf1 zeb\r\n\\tab ra}", "zebra", false},
        {rtf, "{\\rtf1 the ma\\par\r\nsex\\line tant.}", five, false},
        {rtf, "{\\rtf1 the ma\\par\r\nsex\\i tant}", five, true},
        {page, "zeb\\par ra", "zebra", false},  // a backslash cuts only rich text
        // Letters that may not stand in the bytes, with no query word among them.
        {page, "<p>no &#122;ebra", "zebra", true},
        {page, "<p>no &amp; &c", "zebra", false},
        {rtf, "{\\rtf1 no \\'7aebra}", "zebra", true},
        {rtf, "{\\rtf1 no \\*x}", "zebra", true},
        {rtf, "{\\rtf1\\ul no \\*\\generator x;}", "zebra", false},
    };
    // A word, and a start of one cut by markup, at every place of a vector and of the bytes
    // left after the last; rows of one query are asked of one filter, about both kinds in turn.
    for (std::size_t at = 0; at + 8 <= 100; ++at) {
        for (const Case& placed :
             {Case{page, "zEbRa", "", true}, Case{page, "zE<i>bRa", "", true}, Case{page, "z<i>EbRa", "", true},
              Case{rtf, "zE\\-bRa", "", true}, Case{page, "zE\\-bRa", "", false}, Case{page, "\x7f", "", true},
              Case{rtf, "\x1d", "", true}, Case{page, "\xe9", "", true}, Case{page, "\r\n\t", "", false},
              Case{page, "&#", "", true}, Case{rtf, "\\'", "", true}, Case{rtf, "\x0c", "", true}}) {
            std::string bytes(100, 'x');
            cases.push_back({placed.kind, bytes.replace(at, placed.bytes.size(), placed.bytes), "zebra", placed.may});
        }
    }
    for (ScanFeatures features : FEATURES) {
        limitScanFeatures(features);
        QueryWords words;
        std::unique_ptr<WordFilter> filter;
        std::unique_ptr<QueryInBytes> lookedFor;
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const Case& c = cases[i];
            if (i == 0 || std::string(c.query) != cases[i - 1].query) {
                lookedFor.reset();
                ASSERT_TRUE(words.parse(c.query));
                filter.reset(new WordFilter(words));
                lookedFor.reset(new QueryInBytes(*filter));
            }
            const unsigned char* bytes = reinterpret_cast<const unsigned char*>(c.bytes.data());
            EXPECT_EQ(c.may, lookedFor->mayBeIn(bytes, c.bytes.size(), c.kind))
                << c.bytes.substr(0, 40) << ", features " << static_cast<int>(features);
        }
    }
}

}  // namespace
