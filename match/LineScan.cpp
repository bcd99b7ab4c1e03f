#include "match/LineScan.h"

#include <cstdio>
#include <cstring>

#include "match/SearchOptions.h"
#include "text/TextBuffer.h"
#include "match/ViewSink.h"
#include "match/WordRules.h"

int scanLine(const char* line, int lineNumber, const char* query, const QueryWords* words, ViewSink* view,
             LineScratch scratch)
{
    if (words != nullptr && words->count() == 0)
        return 0;  // a query without words matches nothing

    // Case is looked at once per line, so a change from the menu applies from the next line.
    bool caseSensitive = searchOptions.caseSensitive.load(std::memory_order_relaxed) != 0;
    std::size_t length;
    const char* text;
    if (caseSensitive) {
        length = boundedLength(line, LINE_SCAN_CAPACITY - 1);
        text = line;
    } else {
        // Folding keeps every byte where it was, so offsets into the folded copy are
        // offsets into the line as well.
        length = foldLine(scratch.folded, LINE_SCAN_CAPACITY, line, false);
        text = scratch.folded;
    }

    int count = 0;
    std::size_t outputPosition = 0;  // first byte of the line not yet rendered; 0: none rendered
    std::size_t i = 0;
    while (i < length) {
        if (!isWordChar(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        std::size_t start = i;
        while (i < length && isWordChar(static_cast<unsigned char>(text[i])))
            ++i;
        int wordLen = static_cast<int>(i - start);
        bool wholeWordsOnly = searchOptions.wholeWordsOnly.load(std::memory_order_relaxed) != 0;
        bool matched = words != nullptr ? words->anyMatches(text + start, wordLen, wholeWordsOnly)
                                        : countMatchingWords(query, text + start, wholeWordsOnly) != 0;
        if (!matched)
            continue;
        ++count;
        if (view == nullptr)
            continue;
        if (outputPosition == 0) {
            char prefix[256];
            std::snprintf(prefix, sizeof prefix, "%i) ", lineNumber);
            view->appendText(prefix, LINE_NUMBER_COLOUR);
        }
        copySlice(scratch.piece, LINE_SCAN_CAPACITY, line + outputPosition, start - outputPosition);
        view->appendText(scratch.piece, AUTOMATIC_COLOUR);
        copySlice(scratch.piece, LINE_SCAN_CAPACITY, line + start, static_cast<std::size_t>(wordLen));
        view->appendText(scratch.piece, MATCH_COLOUR);
        outputPosition = i;
    }
    if (view != nullptr && outputPosition != 0) {
        copySlice(scratch.piece, LINE_SCAN_CAPACITY, line + outputPosition, length - outputPosition);
        view->appendText(scratch.piece, AUTOMATIC_COLOUR);
    }
    return count;
}
