#include "panel/FileRender.h"

#include <cstring>

#include "panel/MatchView.h"
#include "panel/MatchViewSink.h"
#include "panel/SearchPanel.h"
#include "search/ErrorBox.h"
#include "search/FileNames.h"
#include "search/LineScan.h"
#include "search/TextBuffer.h"

FileRender fileRender;

namespace {

// The window's thread renders for this long, then handles what is waiting for it. The
// control's own work for one slice (a stream or two, and a paint) comes on top. Shorter
// slices cost more than they give: every one ends with a paint of the view, and 2,000
// lines took twice as long in slices of 40 ms.
const double SLICE_SECONDS = 0.1;
// While only counting, the clock is read after this many reads.
const int READS_BETWEEN_CLOCKS = 256;
// The most one read can add to the view: its text and number, and two runs for each of
// its words with the number's and the tail's.
const long READ_MOST_CHARACTERS = static_cast<long>(READ_LIMIT) + 16;
const long READ_MOST_RUNS = static_cast<long>(READ_LIMIT) + 3;

double secondsNow()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

FileRender::FileRender()
{
    path[0] = '\0';
    query[0] = '\0';
    line[0] = '\0';
}

bool FileRender::start(const char* newPath, const char* newQuery)
{
    std::FILE* opened = openFile(newPath, FileTextBytes::openMode(FileTextBytes::TEXT_MODE));
    if (opened == nullptr) {
        showErrorBox(newPath, OPEN_ERROR_CAPTION);
        return false;
    }
    cancel();
    file = opened;
    bytes.emplace(opened, FileTextBytes::TEXT_MODE);
    copySlice(path, sizeof path, newPath, sizeof path - 1);
    copySlice(query, sizeof query, newQuery, sizeof query - 1);
    // A query with more words than the table holds is compared word by word instead.
    wordsCut = words.parse(query);
    reads.emplace(*bytes, block.bytes, sizeof block.bytes);
    matchCount = 0;
    linesLeftOut = 0;
    lineNumber = 0;
    linesShown = 0;
    charactersShown = 0;
    runsShown = 0;
    paragraphLength = 0;

    HWND panel = panelWindow.load();
    if (panel == nullptr) {
        close();
        return true;
    }
    matchViewSink.clearView();
    SetTimer(panel, RENDER_TIMER, USER_TIMER_MINIMUM, nullptr);
    step();
    return true;
}

void FileRender::step()
{
    if (file == nullptr)
        return;
    double started = secondsNow();
    // The user may have clicked into the view since the last slice.
    matchView.moveCaretToEnd();
    matchView.beginRender();
    LineScratch scratch{folded, piece};
    const QueryWords* cut = wordsCut ? &words : nullptr;
    int sinceClock = 0;
    for (;;) {
        if (!reads->next(line)) {
            finish();
            return;
        }
        ++lineNumber;
        bool shown = roomForARead();
        int count = scanLine(line, lineNumber, query, cut, shown ? this : nullptr, scratch);
        matchCount += count;
        if (count > 0 && shown)
            ++linesShown;
        else if (count > 0)
            ++linesLeftOut;
        if ((count > 0 && shown) || ++sinceClock == READS_BETWEEN_CLOCKS) {
            sinceClock = 0;
            if (secondsNow() - started >= SLICE_SECONDS)
                break;
        }
    }
    matchViewSink.finishView();
}

void FileRender::cancel()
{
    if (file == nullptr)
        return;
    // Between slices everything rendered is in the control and drawing is on.
    close();
}

void FileRender::appendText(const char* text, unsigned long colour)
{
    std::size_t length = std::strlen(text);
    charactersShown += static_cast<long>(length);
    ++runsShown;
    std::size_t rest = length;
    while (rest > 0 && text[rest - 1] != '\n' && text[rest - 1] != '\r')
        --rest;
    paragraphLength = rest > 0 ? static_cast<long>(length - rest) : paragraphLength + static_cast<long>(length);
    matchViewSink.appendText(text, colour);
}

bool FileRender::roomForARead() const
{
    return linesShown < LINE_LIMIT && charactersShown + READ_MOST_CHARACTERS <= CHARACTER_LIMIT &&
           runsShown + READ_MOST_RUNS <= RUN_LIMIT && paragraphLength + READ_MOST_CHARACTERS <= PARAGRAPH_LIMIT;
}

void FileRender::finish()
{
    if (linesLeftOut > 0) {
        char note[80];
        std::snprintf(note, sizeof note, "%s%d more matching line%s not shown", paragraphLength > 0 ? "\n" : "",
                      linesLeftOut, linesLeftOut == 1 ? "" : "s");
        matchViewSink.appendText(note, NOTICE_COLOUR);
    }
    matchViewSink.finishView();
    close();
}

void FileRender::close()
{
    HWND panel = panelWindow.load();
    if (panel != nullptr)
        KillTimer(panel, RENDER_TIMER);
    reads.reset();
    bytes.reset();
    std::FILE* closing = file;
    file = nullptr;
    // Told last: the box's message loop may start the next render.
    if (std::fclose(closing) != 0)
        showErrorBox(path, CLOSE_ERROR_CAPTION);
}
