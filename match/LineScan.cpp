#include "match/LineScan.h"

#include <cstdio>
#include <cstring>

#include "match/ByteSearch.h"
#include "match/SearchOptions.h"
#include "match/ViewSink.h"

void LineScan::setQuery(const char* newQuery, const QueryWords* newWords)
{
    query = newQuery;
    words = newWords;
}

void LineScan::beginLine()
{
    // Case is looked at once per line, so a change from the menu applies from the next line.
    caseSensitive = searchOptions.caseSensitive.load(std::memory_order_relaxed) != 0;
    std::memset(marked, 0, shownLength);
    count = 0;
    taken = 0;
    zeroSeen = false;
    endsWithFeed = false;
    shownLength = 0;
    shownMatches = 0;
    inWord = false;
}

void LineScan::take(const char* bytes, std::size_t length)
{
    if (length == 0)
        return;
    endsWithFeed = bytes[length - 1] == '\n';
    if (zeroSeen)
        return;
    std::size_t visible = findByte(bytes, length, 0);
    std::size_t room = LINE_SHOWN_LIMIT - shownLength;
    std::size_t kept = visible < room ? visible : room;
    std::memcpy(shown + shownLength, bytes, kept);
    shownLength += kept;

    std::size_t i = 0;
    while (i < visible) {
        if (!inWord) {
            while (i < visible && !isWordChar(static_cast<unsigned char>(bytes[i])))
                ++i;
            if (i == visible)
                break;
            inWord = true;
            wordStart = taken + i;
            wordLength = 0;
            wordHeld = 0;
            wordTrimmed = false;
            wordHoldsQueryWord = false;
        }
        std::size_t from = i;
        while (i < visible && isWordChar(static_cast<unsigned char>(bytes[i])))
            ++i;
        takeWordBytes(bytes + from, i - from);
        if (i < visible)
            endWord();
    }
    taken += visible;
    if (visible < length) {
        // Nothing after a zero byte is looked at: the zero ends the line's last word.
        zeroSeen = true;
        if (inWord)
            endWord();
    }
}

int LineScan::endLine()
{
    if (inWord)
        endWord();
    return count;
}

void LineScan::takeWordBytes(const char* bytes, std::size_t length)
{
    wordLength += length;
    while (length > 0) {
        if (wordHeld == WORD_HELD) {
            // Whatever the rest of the word, a query word inside what goes is found now; what
            // stays is enough to find one that began there and goes on.
            if (!wordHoldsQueryWord)
                wordHoldsQueryWord = heldWordMatches(false);
            std::memmove(word, word + WORD_HELD - LONGEST_QUERY_WORD, LONGEST_QUERY_WORD);
            wordHeld = LONGEST_QUERY_WORD;
            wordTrimmed = true;
        }
        std::size_t room = WORD_HELD - wordHeld;
        std::size_t n = length < room ? length : room;
        if (caseSensitive) {
            std::memcpy(word + wordHeld, bytes, n);
        } else {
            for (std::size_t k = 0; k < n; ++k)
                word[wordHeld + k] = foldChar(bytes[k]);
        }
        wordHeld += n;
        bytes += n;
        length -= n;
    }
}

bool LineScan::heldWordMatches(bool wholeWordsOnly)
{
    word[wordHeld] = '\0';  // the held word ends here for countMatchingWords
    if (words != nullptr)
        return words->anyMatches(word, static_cast<int>(wordHeld), wholeWordsOnly);
    return countMatchingWords(query, word, wholeWordsOnly) != 0;
}

void LineScan::endWord()
{
    inWord = false;
    bool wholeWordsOnly = searchOptions.wholeWordsOnly.load(std::memory_order_relaxed) != 0;
    // A word whose start is gone is longer than any query word: it matches only by holding one.
    bool matched = wordTrimmed ? !wholeWordsOnly && (wordHoldsQueryWord || heldWordMatches(false))
                               : heldWordMatches(wholeWordsOnly);
    if (!matched)
        return;
    ++count;
    if (wordStart >= LINE_SHOWN_LIMIT)
        return;
    ++shownMatches;
    unsigned long long end = wordStart + wordLength;
    std::size_t last = end < shownLength ? static_cast<std::size_t>(end) : shownLength;
    for (std::size_t k = static_cast<std::size_t>(wordStart); k < last; ++k)
        marked[k] = true;
}

bool LineScan::lineFeedAdded() const
{
    // A line cut short for the view, or by a zero byte, still ends its paragraph.
    return endsWithFeed && (shownLength == 0 || shown[shownLength - 1] != '\n');
}

std::size_t LineScan::renderedCharacters(long long lineNumber) const
{
    char number[32];
    int written = std::snprintf(number, sizeof number, "%lld) ", lineNumber);
    return static_cast<std::size_t>(written > 0 ? written : 0) + shownLength + (lineFeedAdded() ? 1 : 0);
}

void LineScan::appendPiece(ViewSink& view, std::size_t from, std::size_t length, unsigned long colour, bool lineFeed)
{
    std::memcpy(piece, shown + from, length);
    if (lineFeed)
        piece[length++] = '\n';
    piece[length] = '\0';
    view.appendText(piece, colour);
}

void LineScan::render(long long lineNumber, ViewSink& view)
{
    char number[32];
    std::snprintf(number, sizeof number, "%lld) ", lineNumber);
    view.appendText(number, LINE_NUMBER_COLOUR);
    std::size_t output = 0;  // first byte of the line not yet rendered
    std::size_t i = 0;
    while (i < shownLength) {
        if (!marked[i]) {
            ++i;
            continue;
        }
        std::size_t start = i;
        while (i < shownLength && marked[i])
            ++i;
        appendPiece(view, output, start - output, AUTOMATIC_COLOUR, false);
        appendPiece(view, start, i - start, MATCH_COLOUR, false);
        output = i;
    }
    appendPiece(view, output, shownLength - output, AUTOMATIC_COLOUR, lineFeedAdded());
}
