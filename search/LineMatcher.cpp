#include "search/LineMatcher.h"

#include <cstdio>
#include <cstring>

#include "search/ErrorBox.h"
#include "search/SearchState.h"
#include "search/TextBuffer.h"
#include "search/WordRules.h"

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
    bool parsed = words.parse(query);
    bool nothingToFind = parsed && words.count() == 0;

    while (std::fgets(lineBuffer, LINE_CAPACITY, stream.get()) != nullptr) {
        ++lineNumber;
        if (nothingToFind)
            continue;  // a query without words matches nothing, but the file is read to the end
        int outputPosition = 0;
        // Case is looked at once per line, so a change from the menu applies from the next line.
        bool caseSensitive = searchOptions.caseSensitive.load(std::memory_order_relaxed) != 0;
        std::size_t length;
        const char* text;
        if (caseSensitive) {
            length = std::strlen(lineBuffer);
            text = lineBuffer;
        } else {
            length = foldLine(foldedBuffer, LINE_CAPACITY, lineBuffer, false);
            text = foldedBuffer;
        }

        std::size_t i = 0;
        while (i < length) {
            if (!isWordChar(static_cast<unsigned char>(text[i]))) {
                ++i;
                continue;
            }
            std::size_t start = i;
            while (isWordChar(static_cast<unsigned char>(text[i])))
                ++i;
            int wordLen = static_cast<int>(i - start);
            bool wholeWordsOnly = searchOptions.wholeWordsOnly.load(std::memory_order_relaxed) != 0;
            bool matched = parsed ? words.anyMatches(text + start, wordLen, wholeWordsOnly)
                                  : countMatchingWords(query, text + start, wholeWordsOnly) != 0;
            if (!matched)
                continue;
            ++matchCount;
            if (target == nullptr)
                continue;
            if (outputPosition == 0) {
                char prefix[256];
                std::snprintf(prefix, sizeof prefix, "%i) ", lineNumber);
                target->appendText(prefix, LINE_NUMBER_COLOUR);
            }
            copySlice(pieceBuffer, sizeof pieceBuffer, lineBuffer + outputPosition, start - outputPosition);
            target->appendText(pieceBuffer, AUTOMATIC_COLOUR);
            copySlice(pieceBuffer, sizeof pieceBuffer, lineBuffer + start, static_cast<std::size_t>(wordLen));
            target->appendText(pieceBuffer, MATCH_COLOUR);
            outputPosition = static_cast<int>(i);
        }
        if (target != nullptr && outputPosition != 0)
            target->appendText(lineBuffer + outputPosition, AUTOMATIC_COLOUR);
    }

    if (!stream.close())
        showErrorBox(path, CLOSE_ERROR_CAPTION);
    return matchCount;
}
