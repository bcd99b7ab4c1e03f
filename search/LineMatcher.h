// Scans one text file line by line for the words of the search string: counts the
// matching line words, and on request renders the matching lines as coloured runs. A scan
// goes in steps (begin, step until the file ends, end), so a caller that must stay
// responsive, the panel's render, can do a slice at a time; scanFile runs them all at once.
#pragma once
#include <atomic>
#include <memory>
#include <optional>

#include "text/FileText.h"
#include "search/ReadCutter.h"
#include "platform/ScopedOwners.h"
#include "search/SearchState.h"
#include "search/StreamScan.h"
#include "match/LineScan.h"
#include "match/WordFilter.h"
#include "match/WordRules.h"

class ViewSink;

// The file is taken in blocks of this size. Scanning a file of plain ASCII allocates nothing;
// one that is decoded (a page, rich text, Unicode, a document) needs a block or two more, made
// the first time and kept with the read block (a document's text and a markup reader are
// made for each file).
const int READ_BLOCK_CAPACITY = 64 * 1024;
// The longest path a scan keeps for the box that reports a failed close.
const int SCAN_PATH_CAPACITY = 1024;

// Where a matcher takes in its file, and the memory a decoded file's text is made in. It is
// in use only while a scan runs, so matchers that never scan at the same time can share one:
// the levels of one walk do, and a walk allocates it once, not for every page it reads.
struct ReadBlock {
    char bytes[READ_BLOCK_CAPACITY];
    TextMemory text;
};

// What a scan in steps asks its caller line by line. The default goes on to the end and
// shows every matching line.
class ScanPace {
public:
    // Whether a matching line goes to the view, given the characters and coloured runs it
    // adds there; a line that does not is still counted.
    virtual bool showLine(std::size_t characters, std::size_t runs)
    {
        (void)characters;
        (void)runs;
        return true;
    }
    // Asked after every line, told how many matching line words it held and whether it was
    // shown, and within a long line after each piece of it with 0 and false: whether the
    // step goes on. False ends the step there; the next step goes on where it stopped.
    virtual bool stepGoesOn(int matchingWords, bool shown)
    {
        (void)matchingWords;
        (void)shown;
        return true;
    }

protected:
    ~ScanPace() = default;
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

    // Opens path to be scanned for query (already lower-cased when the search ignores case;
    // both are copied). Its text is read as text/FileText.h decides: a Unicode text file by
    // its characters, a Word document by the text it shows, anything else byte for byte. With render nonzero the
    // view is cleared, and each matching line will be appended: its number in blue, its text with every matching word
    // in red. A name that is a device's ("aux.txt") is never opened. A path that cannot be opened is reported to the
    // user (cancelledByUser tells how the box was answered) and false comes back; a scan under way then goes on as it
    // was. Otherwise the scan under way is ended first. With keepGoing, the scan gives the file up as soon as it finds
    // keepGoing 0 (it looks before every block it reads): it ends, and counts nothing.
    bool begin(const char* path, const char* query, int render, const std::atomic<int>* keepGoing = nullptr);
    // Scans on from where the last step stopped, until the file ends or pace ends the step.
    // Returns true once the file has ended. A count without a view goes in one step: it
    // takes the file a block at a time, not line by line.
    bool step(ScanPace& pace);
    // Ends the scan under way and closes its file, telling the user when that fails. Returns
    // the matching line words counted (0 for a file given up). Without a scan under way it
    // only returns matchCount.
    int end();
    bool scanning() const { return source.has_value(); }

    // All the steps at once: the number of matching line words, or -1 when the file cannot
    // be opened (after telling the user).
    int scanFile(const char* path, const char* query, int render, const std::atomic<int>* keepGoing = nullptr);

    int matchCount = 0;
    // Whether the user answered the last "cannot open" box with Cancel.
    bool cancelledByUser = false;

private:
    bool endLine(ScanPace& pace);
    // Cuts query into words and makes the count's filter of them.
    void cutQuery();

    ViewSink* view;
    std::unique_ptr<ReadBlock> ownBlock;
    ReadBlock* readBlock;

    FileStream stream;
    std::optional<FileText> source;
    std::optional<ReadCutter> reads;  // when the file goes line by line
    std::unique_ptr<LineScan> lines;  // made when a file first goes line by line
    bool inLine = false;
    ViewSink* target = nullptr;  // view, while rendering
    QueryWords words;
    bool wordsCut = false;                     // query cut into no more words than the table holds
    std::optional<WordFilter> filter;          // of words, when cut
    std::optional<QueryInBytes> wordsInBytes;  // lets a count skip the markup files that cannot match
    long long lineNumber = 0;
    char path[SCAN_PATH_CAPACITY];
    char query[QUERY_CAPACITY];
};
