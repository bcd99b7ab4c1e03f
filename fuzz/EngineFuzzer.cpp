// Fuzz target for the engine's pure code: the word table and rules and the query cut,
// LineScan's counting and rendering, folding, and the capacity-aware copies.
//
// An input is read as (missing bytes count as zero):
//   bytes 0-3  number of the first line, signed 32-bit little-endian
//   bytes 4-5  a destination capacity for the copies, unsigned 16-bit little-endian, modulo 4097
//   bytes 6-7  a byte count for copySlice, read the same way; it also sets the size of the
//              pieces a line is handed to LineScan in
//   then       the query, up to the first line feed, cut to the 1023 bytes the search box holds
//   then       a file, cut into lines
// Words are cut and folded by code page 1252's table; the file's first bytes also make up
// a code page's answers, from which a table is made and checked.
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
#include <memory>
#include <string>
#include <vector>

#include "match/LineScan.h"
#include "text/ProcessorFeatures.h"
#include "search/ReadCutter.h"
#include "search/SearchState.h"
#include "search/StreamScan.h"
#include "text/TextBuffer.h"
#include "match/ViewSink.h"
#include "match/WordRules.h"
#include "support/GuardedBlock.h"
#include "support/Letters1252.h"
#include "support/MemoryBytes.h"
#include "support/Recorders.h"

namespace {

const std::size_t CAPACITY_RANGE = 4097;

struct FuzzInput {
    long long firstLineNumber = 0;
    std::size_t capacity = 0;
    std::size_t sliceCount = 0;
    std::string query;
    std::string file;
};

// What the current check was looking at, printed when a rule breaks.
struct Situation {
    int caseSensitive = -1;
    int wholeWordsOnly = -1;
    long long lineNumber = 0;
};
Situation situation;

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "Broken: %s (caseSensitive %d, wholeWordsOnly %d, line number %lld)\n", what,
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
        input.query = rest.substr(0, std::min(feed, LONGEST_QUERY_WORD));
        if (feed != std::string::npos)
            input.file = rest.substr(feed + 1);
    }
    return input;
}

// --- The fuzzer's own rules ------------------------------------------------------------

bool oracleWordByte(char c)
{
    static const std::string alphabet =
        std::string("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") + LETTERS_1252;
    return c != '\0' && alphabet.find(c) != std::string::npos;
}

std::string oracleLower(std::string text)
{
    static const std::string upper = std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ") + CAPITALS_1252;
    static const std::string lower = std::string("abcdefghijklmnopqrstuvwxyz") + SMALLS_1252;
    for (char& c : text) {
        std::size_t at = c != '\0' ? upper.find(c) : std::string::npos;
        if (at != std::string::npos)
            c = lower[at];
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

// The lines of file: each ends after a line feed, the last where the file ends.
std::vector<std::string> linesOf(const std::string& file)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < file.size()) {
        std::size_t feed = file.find('\n', at);
        std::size_t end = feed == std::string::npos ? file.size() : feed + 1;
        lines.push_back(file.substr(at, end - at));
        at = end;
    }
    return lines;
}

// --- Matching --------------------------------------------------------------------------

// What the view is given of a line: its visible part as far as a view shows, and the line
// feed that ends it even where that part stops short of it.
std::string shownPart(const std::string& line)
{
    std::string shown = visiblePart(line).substr(0, LINE_SHOWN_LIMIT);
    if (!line.empty() && line.back() == '\n' && (shown.empty() || shown.back() != '\n'))
        shown += '\n';
    return shown;
}

void checkRendering(const RecordingView& view, const std::string& line, long long lineNumber,
                    const std::vector<Word>& allMatches)
{
    const std::string shown = shownPart(line);
    std::vector<Word> matches;
    for (const Word& word : allMatches) {
        if (word.offset < LINE_SHOWN_LIMIT)
            matches.push_back({word.offset, std::min(word.length, LINE_SHOWN_LIMIT - word.offset)});
    }
    require(view.clears == 0, "scanning a line cleared the view");
    if (allMatches.empty()) {
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
    require(rebuilt == shown, "the runs after the number do not give back the line");
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
    const std::vector<std::string> lines = linesOf(input.file);
    const std::size_t pieceSize = 1 + input.sliceCount % 300;
    std::unique_ptr<LineScan> scan(new LineScan);
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
            long long lineNumber = input.firstLineNumber;
            int total = 0;
            for (const std::string& line : lines) {
                situation = Situation{caseSensitive, wholeWordsOnly, lineNumber};
                const std::string visible = visiblePart(line);
                const std::string compared = caseSensitive ? visible : oracleLower(visible);
                // The cut query is asked about every word directly; countMatchingWords is held
                // to the same answers through LineScan below, word by word in the red runs.
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
                    // The line in pieces, each in a block of its own size.
                    scan->setQuery(query.get(), ways[way]);
                    scan->beginLine();
                    for (std::size_t at = 0; at < line.size(); at += pieceSize) {
                        std::size_t length = std::min(pieceSize, line.size() - at);
                        GuardedBlock piece(length, '\x7f');
                        std::memcpy(piece.data(), line.data() + at, length);
                        scan->take(piece.data(), length);
                    }
                    int counted = scan->endLine();
                    require(counted == static_cast<int>(matches.size()),
                            "the count is not the number of matching line words");
                    if (way == 0)
                        total += counted;
                    view.runs.clear();
                    view.clears = 0;
                    if (counted > 0) {
                        std::size_t shownMatches = 0;
                        for (const Word& word : matches)
                            shownMatches += word.offset < LINE_SHOWN_LIMIT ? 1 : 0;
                        require(scan->renderedRuns() == 2 + 2 * shownMatches, "the runs a line adds are miscounted");
                        require(scan->renderedCharacters(lineNumber) ==
                                    std::to_string(lineNumber).size() + 2 + shownPart(line).size(),
                                "the characters a line adds are miscounted");
                        scan->render(lineNumber, view);
                    }
                    checkRendering(view, line, lineNumber, matches);
                }
                ++lineNumber;
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
    // Only the bytes before the terminator may change.
    GuardedText query(input.query);
    foldInPlace(query.get());
    std::string visible = visiblePart(input.query);
    require(std::string(query.get(), input.query.size()) == oracleLower(visible) + input.query.substr(visible.size()),
            "foldInPlace changed more than the capitals before the terminator");
}

// A table made from whatever a code page answers keeps ASCII's rules, never moves a word's
// edges by folding, and its case bits make every spelling of a letter one value.
void checkTable(const FuzzInput& input)
{
    std::string answers = input.file + std::string(256, '\0');
    bool letters[128];
    unsigned char lowers[128];
    for (int i = 0; i < 128; ++i) {
        letters[i] = (static_cast<unsigned char>(answers[i]) & 1) != 0;
        lowers[i] = static_cast<unsigned char>(answers[128 + i]);
    }
    WordTable table = codePageWordTable(letters, lowers);
    for (int c = 0; c < 256; ++c) {
        if (c < 0x80) {
            require(table.word[c] == oracleWordByte(static_cast<char>(c)) &&
                        table.lower[c] ==
                            static_cast<unsigned char>(oracleLower(std::string(1, static_cast<char>(c)))[0]),
                    "a table from a code page changed ASCII's rules");
        } else {
            require(table.word[c] == letters[c - 0x80], "a table from a code page lost its letters");
        }
        require(table.word[table.lower[c]] == table.word[c], "folding turns a word character into a separator");
        require(table.word[c] || table.lower[c] == c, "a separator folds");
        for (int other = 0; other < 256; ++other) {
            if (table.lower[other] == table.lower[c])
                require((other | table.caseBits[c]) == (c | table.caseBits[c]), "case bits miss a spelling");
        }
    }
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
    ScopedWordTable letters(wordTable1252());
    checkCopies(input);
    checkFolding(input);
    checkTable(input);
    checkMatching(input);
    return 0;
}
