// Fuzz target for the engine's pure code: the word rules and the query cut, scanLine's
// counting and rendering, folding, and the capacity-aware copies.
//
// An input is read as (missing bytes count as zero):
//   bytes 0-3  number of the first line read, signed 32-bit little-endian
//   bytes 4-5  a destination capacity for the copies, unsigned 16-bit little-endian, modulo 4097
//   bytes 6-7  a byte count for copySlice, read the same way
//   then       the query, up to the first line feed
//   then       a file, cut into reads the way the matcher's fgets into 1024 bytes cuts it
//
// Which words match is decided here by rules of the fuzzer's own, never by asking the code
// under test. Every text the code reads sits in a heap block that ends at its terminator and
// every destination in one that ends at its capacity, so AddressSanitizer reports a single
// byte read or written too far. A broken rule prints what broke and aborts.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "match/LineScan.h"
#include "match/ProcessorFeatures.h"
#include "search/ReadCutter.h"
#include "search/SearchState.h"
#include "search/StreamScan.h"
#include "text/TextBuffer.h"
#include "match/ViewSink.h"
#include "match/WordRules.h"
#include "support/GuardedBlock.h"
#include "support/MemoryBytes.h"
#include "support/Recorders.h"

namespace {

const std::size_t CAPACITY_RANGE = 4097;

struct FuzzInput {
    int firstLineNumber = 0;
    std::size_t capacity = 0;
    std::size_t sliceCount = 0;
    std::string query;
    std::string file;
};

// What the current check was looking at, printed when a rule breaks.
struct Situation {
    int caseSensitive = -1;
    int wholeWordsOnly = -1;
    int lineNumber = 0;
};
Situation situation;

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "Broken: %s (caseSensitive %d, wholeWordsOnly %d, line number %d)\n", what,
                 situation.caseSensitive, situation.wholeWordsOnly, situation.lineNumber);
    std::abort();
}

void require(bool holds, const char* what)
{
    if (!holds)
        fail(what);
}

FuzzInput decode(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t header[8] = {};
    if (size > 0)
        std::memcpy(header, data, std::min<std::size_t>(size, sizeof header));
    FuzzInput input;
    std::uint32_t number = static_cast<std::uint32_t>(header[0]) | static_cast<std::uint32_t>(header[1]) << 8 |
                           static_cast<std::uint32_t>(header[2]) << 16 | static_cast<std::uint32_t>(header[3]) << 24;
    input.firstLineNumber = static_cast<std::int32_t>(number);
    input.capacity = (header[4] | header[5] << 8) % CAPACITY_RANGE;
    input.sliceCount = (header[6] | header[7] << 8) % CAPACITY_RANGE;
    if (size > sizeof header) {
        std::string rest(reinterpret_cast<const char*>(data) + sizeof header, size - sizeof header);
        std::size_t feed = rest.find('\n');
        input.query = rest.substr(0, feed);
        if (feed != std::string::npos)
            input.file = rest.substr(feed + 1);
    }
    return input;
}

// --- The fuzzer's own rules ------------------------------------------------------------

bool oracleWordByte(char c)
{
    static const char alphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    return c != '\0' && std::memchr(alphabet, c, sizeof alphabet - 1) != nullptr;
}

std::string oracleLower(std::string text)
{
    static const char upper[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static const char lower[] = "abcdefghijklmnopqrstuvwxyz";
    for (char& c : text) {
        const void* at = c != '\0' ? std::memchr(upper, c, sizeof upper - 1) : nullptr;
        if (at != nullptr)
            c = lower[static_cast<const char*>(at) - upper];
    }
    return text;
}

// The part of text a zero-terminated reader sees.
std::string visiblePart(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

struct Word {
    std::size_t offset;
    std::size_t length;
};

std::vector<Word> oracleWords(const std::string& text)
{
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < text.size()) {
        if (!oracleWordByte(text[i])) {
            ++i;
            continue;
        }
        std::size_t start = i;
        while (i < text.size() && oracleWordByte(text[i]))
            ++i;
        words.push_back({start, i - start});
    }
    return words;
}

std::vector<std::string> oracleWordTexts(const std::string& text)
{
    std::vector<std::string> texts;
    for (const Word& word : oracleWords(text))
        texts.push_back(text.substr(word.offset, word.length));
    return texts;
}

bool oracleMatches(const std::vector<std::string>& queryWords, const std::string& lineWord, bool wholeWordsOnly)
{
    for (const std::string& queryWord : queryWords) {
        if (wholeWordsOnly ? queryWord == lineWord : lineWord.find(queryWord) != std::string::npos)
            return true;
    }
    return false;
}

// The reads fgets makes of file with a buffer of LINE_SCAN_CAPACITY bytes: each ends after a
// line feed or when the buffer is full.
std::vector<std::string> readsOf(const std::string& file)
{
    std::vector<std::string> reads;
    std::size_t at = 0;
    while (at < file.size()) {
        std::size_t end = std::min(file.size(), at + LINE_SCAN_CAPACITY - 1);
        std::size_t feed = file.find('\n', at);
        if (feed != std::string::npos && feed < end)
            end = feed + 1;
        reads.push_back(file.substr(at, end - at));
        at = end;
    }
    return reads;
}

int nextLineNumber(int lineNumber)
{
    return static_cast<int>(static_cast<unsigned>(lineNumber) + 1u);
}

// --- Matching --------------------------------------------------------------------------

void checkRendering(const RecordingView& view, const std::string& visible, int lineNumber,
                    const std::vector<Word>& matches)
{
    require(view.clears == 0, "scanning a line cleared the view");
    if (matches.empty()) {
        require(view.runs.empty(), "a line without a match rendered something");
        return;
    }
    require(!view.runs.empty() && view.runs[0].colour == LINE_NUMBER_COLOUR &&
                view.runs[0].text == std::to_string(lineNumber) + ") ",
            "a matching line does not begin with its number in blue");
    std::string rebuilt;
    std::size_t red = 0;
    for (std::size_t k = 1; k < view.runs.size(); ++k) {
        const TextRun& run = view.runs[k];
        if (run.colour == MATCH_COLOUR) {
            require(red < matches.size(), "more red runs than matching words");
            require(rebuilt.size() == matches[red].offset && run.text.size() == matches[red].length,
                    "a red run is not the next matching word of the line");
            ++red;
        } else {
            require(run.colour == AUTOMATIC_COLOUR, "a run after the number is neither red nor automatic");
        }
        rebuilt += run.text;
    }
    require(red == matches.size(), "a matching word was not rendered in red");
    require(rebuilt == visible, "the runs after the number do not give back the line");
}

// The block-at-a-time count must equal the count of the reads, one by one.
void checkStreamCount(const FuzzInput& input, const QueryWords& cut, int expected)
{
    // Each processor feature level in turn, chosen by the input so every path gets fuzzed.
    const ScanFeatures levels[] = {ScanFeatures::BYTES, ScanFeatures::SSE2, ScanFeatures::SSSE3, ScanFeatures::AVX2};
    limitScanFeatures(levels[input.capacity % 4]);
    MemoryBytes source(input.file);
    GuardedBlock block(STREAM_BLOCK_MINIMUM, '\x7f');
    int counted = countStreamMatches(source, cut, block.data(), STREAM_BLOCK_MINIMUM);
    limitScanFeatures(ScanFeatures::AVX2);
    require(counted == expected, "the block-at-a-time count differs from the count of the reads");
}

void checkMatching(const FuzzInput& input)
{
    const std::vector<std::string> reads = readsOf(input.file);
    GuardedBlock folded(LINE_SCAN_CAPACITY, '\x7f');
    GuardedBlock piece(LINE_SCAN_CAPACITY, '\x7f');
    LineScratch scratch{folded.data(), piece.data()};
    RecordingView view;

    for (int caseSensitive = 0; caseSensitive <= 1; ++caseSensitive) {
        situation = Situation{caseSensitive, -1, 0};
        // When case is ignored the search lowers the query before any file is scanned.
        const std::string queryBytes = caseSensitive ? input.query : oracleLower(input.query);
        GuardedText query(queryBytes);
        const std::vector<std::string> queryWords = oracleWordTexts(visiblePart(queryBytes));
        QueryWords cut;
        bool parsed = cut.parse(query.get());
        require(parsed == (queryWords.size() <= static_cast<std::size_t>(QueryWords::MAX_WORDS)),
                "QueryWords::parse refused a query it can hold, or took one it cannot");
        require(!parsed || cut.count() == static_cast<int>(queryWords.size()),
                "QueryWords::parse miscounted the query's words");
        const QueryWords* cutIfParsed = parsed ? &cut : nullptr;

        for (int wholeWordsOnly = 0; wholeWordsOnly <= 1; ++wholeWordsOnly) {
            searchOptions.caseSensitive.store(caseSensitive);
            searchOptions.wholeWordsOnly.store(wholeWordsOnly);
            int lineNumber = input.firstLineNumber;
            int total = 0;
            for (const std::string& read : reads) {
                situation = Situation{caseSensitive, wholeWordsOnly, lineNumber};
                GuardedText line(read);
                const std::string visible = visiblePart(read);
                const std::string compared = caseSensitive ? visible : oracleLower(visible);
                // The cut query is asked about every word directly; countMatchingWords is held
                // to the same answers through scanLine below, word by word in the red runs.
                GuardedText comparedText(compared);
                std::vector<Word> matches;
                for (const Word& word : oracleWords(compared)) {
                    bool matching =
                        oracleMatches(queryWords, compared.substr(word.offset, word.length), wholeWordsOnly);
                    if (matching)
                        matches.push_back(word);
                    require(!parsed || cut.anyMatches(comparedText.get() + word.offset, static_cast<int>(word.length),
                                                      wholeWordsOnly) == matching,
                            "QueryWords::anyMatches disagrees with the word rule");
                }

                const QueryWords* ways[] = {nullptr, cutIfParsed};
                for (int way = 0; way < (parsed ? 2 : 1); ++way) {
                    int counted = scanLine(line.get(), lineNumber, query.get(), ways[way], nullptr, scratch);
                    require(counted == static_cast<int>(matches.size()),
                            "the count is not the number of matching line words");
                    if (way == 0)
                        total += counted;
                    view.runs.clear();
                    view.clears = 0;
                    int rendered = scanLine(line.get(), lineNumber, query.get(), ways[way], &view, scratch);
                    require(rendered == counted, "rendering changed the count");
                    checkRendering(view, visible, lineNumber, matches);
                }
                lineNumber = nextLineNumber(lineNumber);
            }
            if (parsed)
                checkStreamCount(input, cut, total);
        }
    }
    situation = Situation{};
}

// --- Folding and the copies ------------------------------------------------------------

void checkFolding(const FuzzInput& input)
{
    const std::string line = visiblePart(input.file);
    GuardedText source(input.file);
    for (int caseSensitive = 0; caseSensitive <= 1; ++caseSensitive) {
        GuardedBlock folded(input.capacity, '#');
        std::size_t length = foldLine(folded.data(), input.capacity, source.get(), caseSensitive != 0);
        if (input.capacity == 0) {
            require(length == 0, "foldLine into no room reported a length");
            continue;
        }
        std::size_t expectedLength = std::min(line.size(), input.capacity - 1);
        std::string expected = (caseSensitive ? line : oracleLower(line)).substr(0, expectedLength);
        require(length == expectedLength, "foldLine returned the wrong length");
        require(std::memcmp(folded.data(), expected.c_str(), expectedLength + 1) == 0,
                "foldLine's copy is not the folded line");
    }

    // Only the bytes before the terminator may change.
    GuardedText query(input.query);
    lowerAsciiInPlace(query.get());
    std::string visible = visiblePart(input.query);
    require(std::string(query.get(), input.query.size()) == oracleLower(visible) + input.query.substr(visible.size()),
            "lowerAsciiInPlace changed more than the ASCII capitals before the terminator");
}

// Checks the outcome of one copy: when it fitted, the destination starts with expected and
// its terminator; when it did not, the destination is as it was.
void requireCopy(bool fitted, bool fits, const GuardedBlock& destination, const std::string& before,
                 const std::string& expected, const char* name)
{
    const char* fault = nullptr;
    if (fitted != fits)
        fault = fits ? "refused a text that fits" : "took a text that does not fit";
    else if (fits && std::memcmp(destination.data(), expected.c_str(), expected.size() + 1) != 0)
        fault = "wrote the wrong text";
    else if (!fits && destination.contents() != before)
        fault = "changed the destination of a copy it refused";
    if (fault != nullptr)
        fail((std::string(name) + " " + fault).c_str());
}

void checkCopies(const FuzzInput& input)
{
    const std::size_t cap = input.capacity;
    GuardedText query(input.query);
    GuardedText file(input.file);
    const std::string text = visiblePart(input.query);
    const std::string other = visiblePart(input.file);

    require(boundedLength(query.get(), cap) == std::min(text.size(), cap), "boundedLength miscounted");

    {
        GuardedBlock destination(cap, '#');
        const std::string before = destination.contents();
        bool fitted = copyText(destination.data(), cap, query.get());
        requireCopy(fitted, text.size() < cap, destination, before, text, "copyText");
    }
    {
        GuardedBlock destination(cap, '#');
        const std::string before = destination.contents();
        std::string slice = other.substr(0, std::min(input.sliceCount, other.size()));
        bool fitted = copySlice(destination.data(), cap, file.get(), input.sliceCount);
        requireCopy(fitted, slice.size() < cap, destination, before, slice, "copySlice");
    }
    {
        // The destination holds the file's first bytes: terminated inside the capacity only
        // when the file has a zero byte there or is shorter than the capacity.
        GuardedBlock destination(cap, 'Z');
        std::memcpy(destination.data(), input.file.data(), std::min(cap, input.file.size()));
        if (input.file.size() < cap)
            destination.data()[input.file.size()] = '\0';
        const std::string before = destination.contents();
        std::size_t used = before.find('\0');
        bool fits = used != std::string::npos && used + text.size() < cap;
        bool fitted = appendString(destination.data(), cap, query.get());
        requireCopy(fitted, fits, destination, before, fits ? before.substr(0, used) + text : "", "appendString");
    }
    {
        GuardedBlock destination(cap, '#');
        const std::string before = destination.contents();
        bool separator = text.empty() || text.back() != '\\';
        std::string joined = text + (separator ? "\\" : "") + other;
        bool fitted = joinPath(destination.data(), cap, query.get(), file.get());
        requireCopy(fitted, joined.size() < cap, destination, before, joined, "joinPath");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const FuzzInput input = decode(data, size);
    checkCopies(input);
    checkFolding(input);
    checkMatching(input);
    return 0;
}
