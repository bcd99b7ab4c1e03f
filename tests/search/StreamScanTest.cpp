#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "search/LineMatcher.h"
#include "search/LineScan.h"
#include "search/SearchState.h"
#include "search/ByteSource.h"
#include "search/ProcessorFeatures.h"
#include "search/ReadCutter.h"
#include "search/StreamScan.h"
#include "search/WordRules.h"
#include "support/Recorders.h"
#include "support/TempTree.h"

namespace {

// What a line-at-a-time reader gets: reads of at most 1023 bytes, each ending after a line
// feed or where its 1023 bytes run out.
std::vector<std::string> referenceReads(const std::string& text) {
    std::vector<std::string> reads;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t n = 0;
        while (n < 1023 && at + n < text.size()) {
            char c = text[at + n++];
            if (c == '\n')
                break;
        }
        reads.push_back(text.substr(at, n));
        at += n;
    }
    return reads;
}

// The count the way the rule reads: every read on its own, every line word against every
// query word.
int referenceCount(const std::string& text, const char* query) {
    char folded[LINE_SCAN_CAPACITY];
    char piece[LINE_SCAN_CAPACITY];
    int count = 0;
    for (const std::string& read : referenceReads(text))
        count += scanLine(read.c_str(), 0, query, nullptr, nullptr, LineScratch{folded, piece});
    return count;
}

class MemorySource : public ByteSource {
public:
    explicit MemorySource(const std::string& text) : text(text) {}
    std::size_t read(char* into, std::size_t count) override {
        std::size_t n = std::min(count, text.size() - at);
        std::memcpy(into, text.data() + at, n);
        at += n;
        return n;
    }

private:
    const std::string& text;
    std::size_t at = 0;
};

// A text-mode stream of a real file, a block at a time, as the matcher renders from it.
class TextFileSource : public ByteSource {
public:
    explicit TextFileSource(std::FILE* file) : file(file) {}
    std::size_t read(char* into, std::size_t count) override { return std::fread(into, 1, count, file); }

private:
    std::FILE* file;
};

std::string longWord(std::size_t length) {
    std::string word;
    for (std::size_t i = 0; i < length; ++i)
        word += static_cast<char>('a' + (i * 7 + i / 26) % 26);
    return word;
}

// Text that gives every part of a scan something to do: query words in every letter case
// and inside longer words, separators of every kind (zeros, carriage returns, bytes from
// 0x80 up), lines just under, at and over the read limit, and words and lines so long that
// reads cut them.
std::string generatedText(unsigned seed, std::size_t size) {
    static const char* const WORDS[] = {
        "cat",       "Cat",         "CAT",      "concatenate", "scatter",     "ab",
        "abc",       "xabcx",       "e",        "zephyrquill", "ZephyrQuill", "xzephyrquillx",
        "marrowfat", "sextant",     "Brindled", "topgallant",  "a1",          "x86",
        "9",         "1999",        "alpha",    "Bravo",       "charlie",     "kilo",
        "lima",      "sierra",      "tango",    "the",         "of",          "lantern",
        "sextants",  "Topgallants",
    };
    const std::size_t wordCount = sizeof WORDS / sizeof WORDS[0];
    std::mt19937 random(seed);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    std::string text;
    while (text.size() < size) {
        std::size_t roll = pick(1000);
        if (roll < 450) {
            text += WORDS[pick(wordCount)];
        } else if (roll < 550) {
            for (std::size_t n = 1 + pick(20); n > 0; --n)
                text += "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"[pick(62)];
        } else if (roll < 800) {
            text += " ,.-_()/\t"[pick(9)];
        } else if (roll < 880) {
            text += pick(2) ? "\n" : "\r\n";
        } else if (roll < 900) {
            text += '\r';
        } else if (roll < 915) {
            text += '\0';
        } else if (roll < 935) {
            text += static_cast<char>(0x80 + pick(128));
        } else if (roll < 950) {
            // A word long enough for reads to cut it, with query words inside.
            std::string word = longWord(900 + pick(1300));
            for (int k = 0; k < 4; ++k)
                word.insert(pick(word.size()), pick(2) ? "cat" : "ZEPHYRQUILL");
            text += word;
        } else if (roll < 960) {
            text += longWord(700);
        } else if (roll < 980) {
            // A line just under, at or over the read limit, or several reads long.
            static const std::size_t LENGTHS[] = {1021, 1022, 1023, 1024, 1025, 2046, 2047, 3100};
            std::size_t length = LENGTHS[pick(8)];
            std::string line;
            while (line.size() < length)
                line += std::string(WORDS[pick(wordCount)]) + " ,"[pick(2)];
            line.resize(length);
            text += "\n" + line + "\n";
        } else {
            text += std::string(1 + pick(40), ' ');
        }
    }
    return text;
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

const ScanFeatures FEATURES[] = {ScanFeatures::BYTES, ScanFeatures::SSE2, ScanFeatures::SSSE3,
                                 ScanFeatures::AVX2};

class StreamScanTest : public testing::Test {
protected:
    void SetUp() override { resetSharedState(); }
    void TearDown() override {
        resetSharedState();
        limitScanFeatures(ScanFeatures::AVX2);
    }
};

// Every scan the processor allows, with blocks of a few sizes, against the plain rule.
void expectCountsAgree(const std::string& text, const std::string& query, const std::string& context) {
    int expected = referenceCount(text, query.c_str());
    QueryWords words;
    ASSERT_TRUE(words.parse(query.c_str()));
    std::vector<char> buffer(64 * 1024);
    const std::size_t capacities[] = {STREAM_BLOCK_MINIMUM, STREAM_BLOCK_MINIMUM + 7, 64 * 1024};
    for (ScanFeatures features : FEATURES) {
        limitScanFeatures(features);
        for (std::size_t capacity : capacities) {
            MemorySource source(text);
            EXPECT_EQ(expected, countStreamMatches(source, words, buffer.data(), capacity))
                << context << ", query '" << query.substr(0, 60) << "', features "
                << static_cast<int>(features) << ", blocks of " << capacity;
        }
    }
}

TEST_F(StreamScanTest, CountAgreesWithTheLineByLineRuleOnGeneratedText) {
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
                        lowerAsciiInPlace(&query[0]);
                    expectCountsAgree(text, query,
                                      "seed " + std::to_string(seed) + ", case " +
                                          std::to_string(caseSensitive) + ", whole " +
                                          std::to_string(wholeWordsOnly));
                }
            }
        }
    }
}

TEST_F(StreamScanTest, CountsAsWorkedOutByHandInEveryLetterCase) {
    // Written out by hand rather than taken from the word rules the scans share: the letters
    // from A to Z fold when case is ignored, and the bytes just beside them separate words.
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
        {"caf\xc9 CAF\xe9 \xdaZ", "caf z", 0, 1, 3},
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
            MemorySource source(text);
            EXPECT_EQ(c.count, countStreamMatches(source, words, buffer.data(), buffer.size()))
                << c.text << " / " << c.query << ", features " << static_cast<int>(features);
        }
    }
}

TEST_F(StreamScanTest, CountAgreesAtTheEdgesOfReadsAndBlocks) {
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
    for (int wholeWordsOnly = 0; wholeWordsOnly <= 1; ++wholeWordsOnly) {
        searchOptions.wholeWordsOnly = wholeWordsOnly;
        for (const char* query : {"cat", "cat zephyrquill", "zephyrquill", "c", "kcat"}) {
            for (std::size_t i = 0; i < texts.size(); ++i) {
                expectCountsAgree(texts[i], query,
                                  "edge text " + std::to_string(i) + ", whole " +
                                      std::to_string(wholeWordsOnly));
            }
        }
    }
}

TEST_F(StreamScanTest, AWordAcrossTwoBlocksIsJudgedWhole) {
    searchOptions.wholeWordsOnly = 1;
    for (std::size_t length : {5u, 12u, 40u, 300u, 1000u}) {
        std::string word = std::string(length - 3, 'q') + "cat";
        for (std::size_t shift : {std::size_t(1), std::size_t(3), length / 2, length - 1, length + 1}) {
            std::string text = std::string(STREAM_BLOCK_MINIMUM - shift, ' ') + word + " " + word;
            for (const std::string& query : {word, std::string("cat"), word + " cat"})
                expectCountsAgree(text, query,
                                  "word of " + std::to_string(length) + ", shift " + std::to_string(shift));
        }
    }
}

TEST_F(StreamScanTest, ReadCutterHandsOutTheReadsOfALineReader) {
    std::string text = generatedText(7, 40000);
    std::vector<std::string> expected = referenceReads(text);
    std::vector<char> buffer(STREAM_BLOCK_MINIMUM + 3);
    MemorySource source(text);
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

// The runtime's text mode turns CR LF into LF and ends the text at a Ctrl+Z; these files put
// carriage returns and a Ctrl+Z where that matters, including across the runtime's buffers.
std::vector<std::string> textModeFiles() {
    std::vector<std::string> files;
    files.push_back("cat\r\nCat dog\r\n\r\ncat\rcat\r\r\ncat\r");
    files.push_back("cat\r\ncat\x1a"
                    "cat cat cat\r\n");
    files.push_back("\x1a"
                    "cat");
    files.push_back("cat\r\x1a\ncat");
    for (std::size_t edge : {4096u, 65536u}) {
        for (std::size_t shift = 0; shift < 3; ++shift) {
            std::string content(edge - 1 - shift, 'a');
            content += "\r\ncat\r\r\n";
            files.push_back(content);
        }
    }
    std::string lines;
    for (int i = 0; i < 3000; ++i)
        lines += (i % 3 == 0   ? "the CAT sat on the mat\r\n"
                  : i % 3 == 1 ? "no match\n"
                               : "concatenate\r\r\n");
    lines += std::string(2100, 'z') + "cat\r\n";
    files.push_back(lines);
    files.push_back(generatedText(11, 30000));
    std::string crlf = generatedText(12, 30000);
    for (std::size_t i = 0; i < crlf.size(); ++i) {
        if (crlf[i] == '\x1a')
            crlf[i] = ' '; // keep going to the end: a Ctrl+Z has its own files above
    }
    files.push_back(crlf);
    return files;
}

// What a line-by-line matcher makes of a file: fgets in text mode, every read scanned.
int lineReaderCount(const std::string& path, const char* query, ViewSink* view) {
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr)
        return -1;
    if (view != nullptr)
        view->clearView();
    char line[LINE_CAPACITY];
    char folded[LINE_SCAN_CAPACITY];
    char piece[LINE_SCAN_CAPACITY];
    int count = 0;
    int lineNumber = 0;
    while (std::fgets(line, sizeof line, file) != nullptr)
        count += scanLine(line, ++lineNumber, query, nullptr, view, LineScratch{folded, piece});
    std::fclose(file);
    return count;
}

TEST_F(StreamScanTest, TextModeBlocksCutIntoTheSameReadsAsLineReads) {
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
        file = std::fopen(path.c_str(), "r");
        ASSERT_NE(nullptr, file);
        std::vector<char> buffer(STREAM_BLOCK_MINIMUM);
        TextFileSource source(file);
        ReadCutter cutter(source, buffer.data(), buffer.size());
        while (cutter.next(line))
            reads.emplace_back(line);
        std::fclose(file);
        EXPECT_EQ(expected, reads) << "file " << i;
    }
}

TEST_F(StreamScanTest, ScanFileCountsAndRendersAsALineReaderWould) {
    TempTree tree;
    std::vector<std::string> files = textModeFiles();
    RecordingView view;
    LineMatcher matcher(&view);
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::string name = "f" + std::to_string(i) + ".txt";
        tree.file(name, files[i]);
        std::string path = tree.path(name);
        for (const char* query : {"cat", "cat zephyrquill marrowfat", "e"}) {
            for (int wholeWordsOnly = 0; wholeWordsOnly <= 1; ++wholeWordsOnly) {
                searchOptions.wholeWordsOnly = wholeWordsOnly;
                std::string context = "file " + std::to_string(i) + ", query '" + query + "', whole " +
                                      std::to_string(wholeWordsOnly);
                int expected = lineReaderCount(path, query, nullptr);
                EXPECT_EQ(expected, matcher.scanFile(path.c_str(), query, 0)) << context;
                EXPECT_EQ(expected, matcher.matchCount) << context;

                RecordingView expectedView;
                lineReaderCount(path, query, &expectedView);
                EXPECT_EQ(expected, matcher.scanFile(path.c_str(), query, 1)) << context;
                EXPECT_EQ(expectedView.runs, view.runs) << context;
            }
        }
    }
}

} // namespace
