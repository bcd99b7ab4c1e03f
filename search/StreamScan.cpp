#include "search/StreamScan.h"

#include <cstring>

#include "match/ByteSearch.h"
#include "text/ByteSource.h"
#include "text/ProcessorFeatures.h"
#include "search/ReadCutter.h"
#include "search/SearchState.h"
#include "match/WordFilter.h"
#include "match/WordFilterKernels.h"
#include "match/WordRules.h"
#include "text/WordsInBytes.h"

namespace {

const std::size_t NEED_MORE = static_cast<std::size_t>(-1);
const std::size_t KEPT_BEFORE = LONGEST_QUERY_WORD + 1;

// Everything the count carries from one block of the stream to the next. Positions named
// "...Offset" count bytes from the start of the stream; indexes count from the buffer.
// Line feeds and zeros are looked for only when a candidate needs to know its line, and
// only in the bytes since the last look (the accounted index).
struct CountState {
    const WordFilter& filter;
    const unsigned char* text;
    CandidateScan scan;   // the filter's vector look, if it has one
    long long base = 0;   // stream offset of text[0]
    std::size_t end = 0;  // bytes held in the buffer
    bool atEnd = false;
    std::size_t accounted = 0;      // line feeds and zeros before this index are known
    long long newlineOffset = -1;   // the last line feed before the accounted index
    long long zeroOffset = -1;      // a zero in the line of the accounted index, if any
    long long caseLineOffset = -1;  // the line whose caseSensitive value is held
    bool caseSensitive = false;
    bool insideJudgedWord = false;  // the bytes in hand end inside a word already judged
    int count = 0;
};

// Stream offset of the start of the line that holds the accounted index (rule 2).
long long lineStartOf(const CountState& s)
{
    return s.newlineOffset + 1;
}

// Brings newlineOffset and zeroOffset up to index upTo. Only the last line feed counts, so
// it is looked for backwards; a zero matters only within the line that upTo is in, since a
// line is looked at only up to its first zero and later positions are in the same or later
// lines.
void accountUpTo(CountState& s, std::size_t upTo)
{
    for (std::size_t k = upTo; k > s.accounted; --k) {
        if (s.text[k - 1] == '\n') {
            s.newlineOffset = s.base + static_cast<long long>(k - 1);
            break;
        }
    }
    long long lineFirst = lineStartOf(s) - s.base;
    std::size_t from = s.accounted;
    if (lineFirst > static_cast<long long>(from))
        from = static_cast<std::size_t>(lineFirst);
    if (from < upTo) {
        std::size_t zero = findByte(reinterpret_cast<const char*>(s.text) + from, upTo - from, 0);
        if (zero < upTo - from)
            s.zeroOffset = s.base + static_cast<long long>(from + zero);
    }
    s.accounted = upTo;
}

// Judges the line word that holds text[at], where a query word begins. Returns the index
// scanning goes on from: past the word once it has been compared, the next byte when it is
// not to be compared, or NEED_MORE when the word may go on beyond the bytes in hand and
// is still short enough to be held whole.
std::size_t judgeWordAt(CountState& s, std::size_t at)
{
    accountUpTo(s, at);
    long long lineStart = lineStartOf(s);
    // A line is looked at only up to its first zero byte (rule 4).
    if (s.zeroOffset >= lineStart)
        return at + 1;

    // A word runs on across blocks, to a separator on either side (rule 5). Every candidate
    // has KEPT_BEFORE bytes in hand before it, so a word whose start went with an earlier
    // block is longer than any query word here too.
    long long lineFirst = lineStart - s.base;
    std::size_t from = at;
    while (from > 0 && static_cast<long long>(from) > lineFirst && isWordChar(s.text[from - 1]))
        --from;
    std::size_t to = at + 1;
    while (to < s.end && isWordChar(s.text[to]))
        ++to;
    bool runsOn = to == s.end && !s.atEnd;
    bool longWord = to - from > LONGEST_QUERY_WORD;
    if (runsOn && !longWord)
        return NEED_MORE;

    // Case is looked at once per line, as the line-by-line scan does (rule 6).
    if (lineStart != s.caseLineOffset) {
        s.caseLineOffset = lineStart;
        s.caseSensitive = searchOptions.caseSensitive.load(std::memory_order_relaxed) != 0;
    }
    bool wholeWordsOnly = searchOptions.wholeWordsOnly.load(std::memory_order_relaxed) != 0;
    bool matched;
    if (longWord) {
        // A query word begins at at in some letter case; one that is not there as compared
        // may still be further on in the word.
        if (!wholeWordsOnly && !s.filter.occursAsComparedAt(s.text, at, s.end, !s.caseSensitive))
            return at + 1;
        matched = !wholeWordsOnly;
    } else {
        int length = static_cast<int>(to - from);
        const char* word = reinterpret_cast<const char*>(s.text + from);
        char folded[LONGEST_QUERY_WORD];
        if (!s.caseSensitive) {
            for (int k = 0; k < length; ++k)
                folded[k] = foldChar(word[k]);
            word = folded;
        }
        matched = s.filter.words.anyMatches(word, length, wholeWordsOnly);
    }
    if (matched)
        ++s.count;
    s.insideJudgedWord = runsOn;
    return to;
}

#ifdef KADREL_SSE2
// Follows up the candidates of the positions from index i (one bit each in found, the
// lowest for i). Returns the index to scan on from (i + width when no word was judged), or
// NEED_MORE with *stoppedAt at the candidate.
std::size_t followCandidates(CountState& s, std::size_t i, unsigned found, std::size_t width, std::size_t* stoppedAt)
{
    while (found != 0) {
        std::size_t index = i + lowestBit(found);
        found &= found - 1;
        if (!s.filter.occursAt(s.text, index, s.end))
            continue;
        std::size_t after = judgeWordAt(s, index);
        if (after == NEED_MORE) {
            *stoppedAt = index;
            return NEED_MORE;
        }
        if (after > index + 1)
            return after;  // the word was judged as a whole: go on after it
    }
    return i + width;
}

// Judges the candidates that the filter's vector look finds in text[i, limit), as long as the
// bytes each step loads are in hand. Returns the index it stopped at, or NEED_MORE with
// *stoppedAt set to the candidate that needs more bytes.
std::size_t scanCandidates(CountState& s, std::size_t i, std::size_t limit, std::size_t* stoppedAt)
{
    const CandidateScan& scan = s.scan;
    const std::size_t reach = scan.width + scan.ahead;
    while (i + scan.width <= limit && i + reach <= s.end) {
        std::size_t last = limit - scan.width;
        if (s.end - reach < last)
            last = s.end - reach;
        unsigned found = 0;
        i = scan.find(s.filter, s.text, i, last, &found);
        if (found == 0)
            break;
        i = followCandidates(s, i, found, scan.width, stoppedAt);
        if (i == NEED_MORE)
            return NEED_MORE;
    }
    return i;
}
#endif

// Judges every line word in text[i, limit) where a query word begins. Returns where it
// stopped: limit (or the end of a word that reaches past it), or the candidate that needs
// more bytes than are in hand.
std::size_t scanRange(CountState& s, std::size_t i, std::size_t limit)
{
#ifdef KADREL_SSE2
    if (s.scan.find != nullptr) {
        std::size_t stoppedAt = 0;
        i = scanCandidates(s, i, limit, &stoppedAt);
        if (i == NEED_MORE)
            return stoppedAt;
    }
#endif
    // What is left, a byte at a time.
    while (i < limit) {
        if (s.filter.firstWord[foldByte(s.text[i])] >= 0 && s.filter.occursAt(s.text, i, s.end)) {
            std::size_t after = judgeWordAt(s, i);
            if (after == NEED_MORE)
                return i;
            i = after;
            continue;
        }
        ++i;
    }
    return i;
}

// Moves scan past the rest of a word judged in an earlier block (rule 5).
std::size_t skipJudgedWord(CountState& s, std::size_t scan)
{
    while (scan < s.end && isWordChar(s.text[scan]))
        ++scan;
    s.insideJudgedWord = scan == s.end && !s.atEnd;
    return scan;
}

}  // namespace

int countStreamMatches(ByteSource& source, const QueryWords& words, char* buffer, std::size_t capacity)
{
    WordFilter filter(words);
    return countStreamMatches(source, filter, buffer, capacity);
}

int countStreamMatches(ByteSource& source, const WordFilter& filter, char* buffer, std::size_t capacity)
{
    const QueryWords& words = filter.words;
    CountState s{filter, reinterpret_cast<const unsigned char*>(buffer), candidateScanFor(filter)};
    std::size_t scan = 0;
    for (;;) {
        if (!s.atEnd) {
            std::size_t wanted = capacity - s.end;
            std::size_t got = source.read(buffer + s.end, wanted);
            s.end += got;
            s.atEnd = got < wanted;
        }
        if (s.insideJudgedWord)
            scan = skipJudgedWord(s, scan);
        if (words.count() == 0) {
            // Nothing can match, but the stream is still read to its end.
            if (s.atEnd)
                return 0;
            s.end = 0;
            continue;
        }
        // A query word is looked for up to span bytes ahead of where it begins; until the
        // stream has ended, positions closer than that to the end of the bytes in hand wait
        // for the next block.
        std::size_t limit = s.atEnd ? s.end : (s.end > filter.span ? s.end - filter.span : 0);
        scan = scanRange(s, scan, limit);
        if (s.atEnd && scan >= s.end)
            return s.count;
        accountUpTo(s, scan);
        // Keep a long word's worth of bytes before the scan position: the word of a later
        // candidate that can still equal a query word begins at most that far before it.
        std::size_t keep = scan > KEPT_BEFORE ? scan - KEPT_BEFORE : 0;
        std::memmove(buffer, buffer + keep, s.end - keep);
        s.base += static_cast<long long>(keep);
        s.end -= keep;
        scan -= keep;
        s.accounted -= keep;
    }
}

QueryInBytes::QueryInBytes(const WordFilter& filter) : filter(filter), onlyAscii(filter.matchesOnlyAscii()) {}

bool QueryInBytes::mayBeIn(const unsigned char* bytes, std::size_t length, TextKind kind) const
{
    if (!onlyAscii)
        return true;
    int k = kind == TextKind::RICH_TEXT ? 1 : 0;
    if (!made[k]) {
        filter.makeCutLook(wordCutsOf(kind), letterStopsOf(kind), looks[k]);
        made[k] = true;
    }
    return filter.mayBeInMarkup(bytes, length, looks[k]);
}
