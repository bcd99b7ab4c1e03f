#include "search/LineMatcher.h"

#include "platform/ErrorBox.h"
#include "platform/SystemCodePage.h"
#include "search/FileNames.h"
#include "match/LineScan.h"
#include "search/StreamScan.h"
#include "text/TextBuffer.h"
#include "match/ViewSink.h"

namespace {

static_assert(LINE_CAPACITY == LINE_SCAN_CAPACITY, "the matcher hands its own buffers to scanLine");
static_assert(LINE_CAPACITY == READ_LIMIT + 1, "a read and its terminator fill the line buffer");
static_assert(READ_BLOCK_CAPACITY >= static_cast<int>(STREAM_BLOCK_MINIMUM), "the block is large enough");

}  // namespace

LineMatcher::LineMatcher(ViewSink* view, ReadBlock* shared)
    : view(view), ownBlock(shared != nullptr ? nullptr : new ReadBlock),
      readBlock(shared != nullptr ? shared : ownBlock.get())
{
    lineBuffer[0] = '\0';
    foldedBuffer[0] = '\0';
    pieceBuffer[0] = '\0';
    path[0] = '\0';
    query[0] = '\0';
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
    copySlice(query, sizeof query, newQuery, sizeof query - 1);
    // The query is cut into words once per file. A query with more words than the table
    // holds (only possible for texts longer than the search box allows) is compared the
    // slow way, word by word, with the same result.
    wordsCut = words.parse(query);
    target = render ? view : nullptr;
    // When only the count is wanted, a file's plain bytes are taken with their carriage
    // returns: the count comes out the same as from its lines, without joining its line ends.
    bool countOnly = target == nullptr && wordsCut;
    matchCount = 0;
    lineNumber = 0;
    source.emplace(stream, systemCodePage(), endingOf(path), !countOnly, keepGoing);
    if (!countOnly)
        reads.emplace(*source, readBlock->bytes, sizeof readBlock->bytes);
    if (target != nullptr)
        target->clearView();
    return true;
}

bool LineMatcher::step(ScanPace& pace)
{
    if (!source)
        return true;
    if (!reads) {
        matchCount = countStreamMatches(*source, words, readBlock->bytes, sizeof readBlock->bytes);
        return true;
    }
    LineScratch scratch{foldedBuffer, pieceBuffer};
    const QueryWords* cut = wordsCut ? &words : nullptr;
    while (reads->next(lineBuffer)) {
        ++lineNumber;
        bool shown = target != nullptr && pace.showNextRead();
        int count = scanLine(lineBuffer, lineNumber, query, cut, shown ? target : nullptr, scratch);
        matchCount += count;
        if (!pace.stepGoesOn(count, shown))
            return false;
    }
    return true;
}

int LineMatcher::end()
{
    if (!source)
        return matchCount;
    if (source->abandoned())
        matchCount = 0;
    reads.reset();
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
