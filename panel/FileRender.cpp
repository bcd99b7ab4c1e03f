#include "panel/FileRender.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "panel/MatchView.h"
#include "panel/PanelWindow.h"

FileRender fileRender;

namespace {

// The window's thread renders for this long, then handles what is waiting for it. The
// control's own work for one slice (a stream or two, and a paint) comes on top, and the
// two together are what the window leaves a message unanswered for. Shorter slices cost
// more than they give: every one ends with a paint of the view.
const double SLICE_SECONDS = 0.08;
// While only counting, the clock is read after this many lines or pieces of a long line.
const int READS_BETWEEN_CLOCKS = 256;
// The start of a long line, its number ("2147483647) " and more) and its line feed.
static_assert(LINE_SHOWN_LIMIT + 32 <= static_cast<std::size_t>(FileRender::PARAGRAPH_LIMIT),
              "the start of a long line that the view is given fits in one paragraph");

double secondsNow()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

FileRender::FileRender() : matcher(this) {}

bool FileRender::start(const char* path, const char* query)
{
    HWND panel = panelWindow.load();
    // Without a panel there is no view to fill, but the file is still tried, and its box
    // shown, as a selection would.
    if (!matcher.begin(path, query, panel != nullptr ? 1 : 0))
        return false;
    linesLeftOut = 0;
    linesShown = 0;
    charactersShown = 0;
    runsShown = 0;
    paragraphLength = 0;
    if (panel == nullptr) {
        close();
        return true;
    }
    SetTimer(panel, RENDER_TIMER, USER_TIMER_MINIMUM, nullptr);
    step();
    return true;
}

void FileRender::step()
{
    if (!matcher.scanning())
        return;
    sliceStarted = secondsNow();
    readsSinceClock = 0;
    if (matcher.step(*this))
        finish();
    else
        matchView.flush();
}

void FileRender::cancel()
{
    // Between slices everything rendered is in the control and drawing is on.
    if (matcher.scanning())
        close();
}

void FileRender::clearView()
{
    matchView.clearView();
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
    matchView.appendText(text, colour);
}

bool FileRender::showLine(std::size_t characters, std::size_t runs)
{
    long lineCharacters = static_cast<long>(characters);
    return linesShown < LINE_LIMIT && charactersShown + lineCharacters <= CHARACTER_LIMIT &&
           runsShown + static_cast<long>(runs) <= RUN_LIMIT && paragraphLength + lineCharacters <= PARAGRAPH_LIMIT;
}

bool FileRender::stepGoesOn(int matchingWords, bool shown)
{
    if (matchingWords > 0 && shown)
        ++linesShown;
    else if (matchingWords > 0)
        ++linesLeftOut;
    if ((matchingWords > 0 && shown) || ++readsSinceClock == READS_BETWEEN_CLOCKS) {
        readsSinceClock = 0;
        if (secondsNow() - sliceStarted >= SLICE_SECONDS)
            return false;
    }
    return true;
}

void FileRender::finish()
{
    if (linesLeftOut > 0) {
        char note[80];
        std::snprintf(note, sizeof note, "%s%d more matching line%s not shown", paragraphLength > 0 ? "\n" : "",
                      linesLeftOut, linesLeftOut == 1 ? "" : "s");
        matchView.appendText(note, NOTICE_COLOUR);
    }
    matchView.flush();
    close();
}

void FileRender::close()
{
    HWND panel = panelWindow.load();
    if (panel != nullptr)
        KillTimer(panel, RENDER_TIMER);
    // Last: a box about a failed close has a message loop that may start the next render.
    matcher.end();
}
