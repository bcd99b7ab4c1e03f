#include "search/LineMatcher.h"

#include <cstring>

#include "platform/ErrorBox.h"
#include "platform/SystemCodePage.h"
#include "search/FileNames.h"
#include "search/StreamScan.h"
#include "text/TextBuffer.h"
#include "match/ViewSink.h"

namespace {

static_assert(READ_BLOCK_CAPACITY >= static_cast<int>(STREAM_BLOCK_MINIMUM), "the block is large enough");

}  // namespace

LineMatcher::LineMatcher(ViewSink* view, ReadBlock* shared)
    : view(view), ownBlock(shared != nullptr ? nullptr : new ReadBlock),
      readBlock(shared != nullptr ? shared : ownBlock.get())
{
    path[0] = '\0';
    query[0] = '\0';
    cutQuery();
}

void LineMatcher::cutQuery()
{
    wordsInBytes.reset();
    filter.reset();
    wordsCut = words.parse(query);
    if (wordsCut) {
        filter.emplace(words);
        wordsInBytes.emplace(*filter);
    }
}

bool LineMatcher::begin(const char* newPath, const char* newQuery, int render, const std::atomic<int>* keepGoing)
{
    cancelledByUser = false;
    FileStream opened;
    if (!opened.take(openFile(newPath, "rb"))) {
        cancelledByUser = showErrorBox(newPath, OPEN_ERROR_CAPTION) == IDCANCEL;
        return false;
    }
    end();
    stream.takeFrom(opened);
    copySlice(path, sizeof path, newPath, sizeof path - 1);
    // The query is cut into words, and the filter of the count made, when it changes: a walk
    // asks one query of file after file. A query with more words than the table holds (only
    // possible for texts longer than the search box allows) is compared the slow way, word
    // by word, with the same result.
    char next[QUERY_CAPACITY];
    copySlice(next, sizeof next, newQuery, sizeof next - 1);
    if (std::strcmp(next, query) != 0) {
        std::memcpy(query, next, sizeof query);
        cutQuery();
    }
    target = render ? view : nullptr;
    // When only the count is wanted, a file's plain bytes are taken with their carriage
    // returns: the count comes out the same as from its lines, without joining its line ends.
    bool countOnly = target == nullptr && wordsCut;
    matchCount = 0;
    lineNumber = 0;
    source.emplace(stream, systemCodePage(), endingOf(path), !countOnly, keepGoing, &readBlock->text,
                   countOnly ? &*wordsInBytes : nullptr);
    if (!countOnly) {
        reads.emplace(*source, readBlock->bytes, sizeof readBlock->bytes);
        if (!lines)
            lines.reset(new LineScan);
        lines->setQuery(query, wordsCut ? &words : nullptr);
        inLine = false;
    }
    if (target != nullptr)
        target->clearView();
    return true;
}

bool LineMatcher::step(ScanPace& pace)
{
    if (!source)
        return true;
    if (!reads) {
        matchCount = countStreamMatches(*source, *filter, readBlock->bytes, sizeof readBlock->bytes);
        return true;
    }
    LinePiece piece;
    while (reads->next(piece)) {
        if (!inLine) {
            lines->beginLine();
            inLine = true;
        }
        lines->take(piece.bytes, piece.length);
        bool goesOn = piece.endsLine() ? endLine(pace) : pace.stepGoesOn(0, false);
        if (!goesOn)
            return false;
    }
    // The text's last line, without a line feed.
    if (inLine)
        endLine(pace);
    return true;
}

bool LineMatcher::endLine(ScanPace& pace)
{
    inLine = false;
    ++lineNumber;
    int count = lines->endLine();
    bool shown =
        target != nullptr && count > 0 && pace.showLine(lines->renderedCharacters(lineNumber), lines->renderedRuns());
    if (shown)
        lines->render(lineNumber, *target);
    matchCount += count;
    return pace.stepGoesOn(count, shown);
}

int LineMatcher::end()
{
    if (!source)
        return matchCount;
    if (source->abandoned())
        matchCount = 0;
    reads.reset();
    inLine = false;
    source.reset();
    target = nullptr;
    // Told last, with the scan over: the box's message loop may begin the next one.
    if (!stream.close())
        showErrorBox(path, CLOSE_ERROR_CAPTION);
    return matchCount;
}

int LineMatcher::scanFile(const char* filePath, const char* text, int render, const std::atomic<int>* keepGoing)
{
    if (!begin(filePath, text, render, keepGoing))
        return -1;
    struct : ScanPace {
    } toTheEnd;
    while (!step(toTheEnd)) {
    }
    return end();
}
