// Scans one text file line by line for the words of the search string: counts the
// matching line words, and on request renders the matching lines as coloured runs.
#pragma once
#include <atomic>
#include <memory>

class ViewSink;

const int LINE_CAPACITY = 1024;  // one read: at most 1023 bytes and the terminator
// The file is taken in blocks of this size; scanning a file allocates nothing.
const int READ_BLOCK_CAPACITY = 64 * 1024;

// Where a matcher takes in its file. It is in use only while a scan runs, so matchers that
// never scan at the same time can share one: the levels of one walk do.
struct ReadBlock {
    char bytes[READ_BLOCK_CAPACITY];
};

class LineMatcher {
public:
    // A matcher that renders into view; one that is only ever asked to count needs none.
    // It reads through shared, which must outlive it and never be in use by another scan
    // while this one runs; without it the matcher allocates a block of its own, once.
    explicit LineMatcher(ViewSink* view = nullptr, ReadBlock* shared = nullptr);
    LineMatcher(const LineMatcher&) = delete;
    LineMatcher& operator=(const LineMatcher&) = delete;

    ReadBlock& block() { return *readBlock; }

    // Scans the file at path for the words of query (already lower-cased when the search
    // ignores case). Returns the number of matching line words, or -1 when the file cannot
    // be opened (after telling the user). A name that is a device's ("aux.txt") is never
    // opened: it counts as a file that cannot be opened. With render nonzero, the view is cleared and each
    // matching line appended: its number in blue, its text with every matching word in red.
    // With keepGoing, the scan gives the file up as soon as it finds keepGoing 0 (it looks
    // before every block it reads) and returns 0, whatever it had counted.
    int scanFile(const char* path, const char* query, int render, const std::atomic<int>* keepGoing = nullptr);

    int matchCount = 0;
    // Whether the user answered the last scan's "cannot open" box with Cancel.
    bool cancelledByUser = false;
    char lineBuffer[LINE_CAPACITY];
    char foldedBuffer[LINE_CAPACITY];
    char pieceBuffer[LINE_CAPACITY];

private:
    ViewSink* view;
    std::unique_ptr<ReadBlock> ownBlock;
    ReadBlock* readBlock;
};
