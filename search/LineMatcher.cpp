#include "search/LineMatcher.h"

#include <cstdio>
#include <cstring>

#include "search/ErrorBox.h"
#include "search/LineScan.h"

namespace {

const char* const OPEN_ERROR_CAPTION = "Error: cannot open selected file!";
const char* const CLOSE_ERROR_CAPTION = "File Close Error!";

// Owns the stream of one scan; closing is explicit so a failed close can be reported.
class FileStream {
public:
    FileStream() = default;
    ~FileStream() { close(); }
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    bool open(const char* path, const char* mode)
    {
        close();
        file = std::fopen(path, mode);
        return file != nullptr;
    }
    // Returns true when the stream closed cleanly (or none was open).
    bool close()
    {
        if (file == nullptr)
            return true;
        int result = std::fclose(file);
        file = nullptr;
        return result == 0;
    }
    std::FILE* get() const { return file; }

private:
    std::FILE* file = nullptr;
};

static_assert(LINE_CAPACITY == LINE_SCAN_CAPACITY, "the matcher hands its own buffers to scanLine");

} // namespace

LineMatcher::LineMatcher(ViewSink* view) : view(view)
{
    lineBuffer[0] = '\0';
    foldedBuffer[0] = '\0';
    pieceBuffer[0] = '\0';
}

int LineMatcher::scanFile(const char* path, const char* query, int render)
{
    matchCount = 0;
    int lineNumber = 0;

    FileStream stream;
    if (!stream.open(path, "r")) {
        showErrorBox(path, OPEN_ERROR_CAPTION);
        return -1;
    }
    ViewSink* target = render ? view : nullptr;
    if (target != nullptr)
        target->clearView();

    // The query is cut into words once per file. A query with more words than the table
    // holds (only possible for texts longer than the search box allows) is compared the
    // slow way, word by word, with the same result.
    QueryWords words;
    const QueryWords* cut = words.parse(query) ? &words : nullptr;
    LineScratch scratch{foldedBuffer, pieceBuffer};

    while (std::fgets(lineBuffer, LINE_CAPACITY, stream.get()) != nullptr) {
        ++lineNumber;
        matchCount += scanLine(lineBuffer, lineNumber, query, cut, target, scratch);
    }

    if (!stream.close())
        showErrorBox(path, CLOSE_ERROR_CAPTION);
    return matchCount;
}
