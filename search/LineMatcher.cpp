#include "search/LineMatcher.h"

#include <cstdio>
#include <cstring>

#include "search/ByteSource.h"
#include "search/ErrorBox.h"
#include "search/LineScan.h"
#include "search/ReadCutter.h"
#include "search/ScopedOwners.h"
#include "search/StreamScan.h"
#include "search/ViewSink.h"
#include "search/WordRules.h"

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
}

int LineMatcher::scanFile(const char* path, const char* query, int render, const std::atomic<int>* keepGoing)
{
    matchCount = 0;
    int lineNumber = 0;
    ViewSink* target = render ? view : nullptr;

    // The query is cut into words once per file. A query with more words than the table
    // holds (only possible for texts longer than the search box allows) is compared the
    // slow way, word by word, with the same result.
    QueryWords words;
    const QueryWords* cut = words.parse(query) ? &words : nullptr;
    // When only the count is wanted, the file's bytes are taken as they are: the count
    // comes out the same as from its text-mode lines, without the runtime's translation.
    bool countOnly = target == nullptr && cut != nullptr;
    FileTextBytes::Mode mode = countOnly ? FileTextBytes::BINARY : FileTextBytes::TEXT_MODE;

    cancelledByUser = false;
    FileStream stream;
    if (!stream.open(path, FileTextBytes::openMode(mode))) {
        cancelledByUser = showErrorBox(path, OPEN_ERROR_CAPTION) == IDCANCEL;
        return -1;
    }
    if (target != nullptr)
        target->clearView();

    FileTextBytes source(stream.get(), mode, keepGoing);
    if (countOnly) {
        matchCount = countStreamMatches(source, words, readBlock->bytes, sizeof readBlock->bytes);
    } else {
        ReadCutter reads(source, readBlock->bytes, sizeof readBlock->bytes);
        LineScratch scratch{foldedBuffer, pieceBuffer};
        while (reads.next(lineBuffer)) {
            ++lineNumber;
            matchCount += scanLine(lineBuffer, lineNumber, query, cut, target, scratch);
        }
        if (target != nullptr)
            target->finishView();
    }

    if (source.abandoned())
        matchCount = 0;
    if (!stream.close())
        showErrorBox(path, CLOSE_ERROR_CAPTION);
    return matchCount;
}
