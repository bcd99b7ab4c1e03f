// Renders the selected file's matching lines into the match view a slice at a time, on the
// window's thread: between slices the window takes input, paints and answers other threads,
// so no file freezes it. The lines are the line matcher's, scanned in steps. A view that
// would grow past what the control can lay out and hold ends with a grey note of how many
// matching lines it leaves out.
#pragma once
#include "search/LineMatcher.h"
#include "match/ViewSink.h"

class FileRender final : private ViewSink, private ScanPace {
public:
    // At most this many matching lines are shown.
    static const int LINE_LIMIT = 10000;
    // The control holds a great deal for every character it shows (about a hundred bytes
    // under Wine): the view stops before it holds more than this many.
    static const long CHARACTER_LIMIT = 1200000;
    // And more still for every run of one colour, which it streams and paints one by one:
    // the view stops before it holds more than this many. 10,000 lines with a few matches
    // each take 40,000 to 50,000.
    static const long RUN_LIMIT = 60000;
    // The control lays a paragraph out again at every insertion into it, in a time that
    // grows with the square of its length, so the view stops before one passes this many
    // characters. A line longer than that shows its start (match/LineScan.h's
    // LINE_SHOWN_LIMIT), which fits.
    static const long PARAGRAPH_LIMIT = 8 * 1024;

    FileRender();
    FileRender(const FileRender&) = delete;
    FileRender& operator=(const FileRender&) = delete;

    // Opens path, empties the view and renders the first slice; the rest follows on the
    // panel's RENDER_TIMER. A render under way is cut short first, unless path cannot be
    // opened: then the user is told, and the view and its render carry on as they were.
    // query is copied. Returns false when the file cannot be opened; a name that is a
    // device's ("aux.txt") is never opened, and counts as one that cannot be.
    bool start(const char* path, const char* query);
    // Renders the next slice. Does nothing when no render is under way.
    void step();
    // Ends the render under way where it is: the view keeps what it shows, and no note.
    void cancel();
    bool running() const { return matcher.scanning(); }

    // Matching line words of the file, counted so far (all of them once it is done).
    int matchCount() const { return matcher.matchCount; }
    // Matching lines left out of the view so far.
    int linesLeftOut = 0;

private:
    void clearView() override;
    void appendText(const char* text, unsigned long colour) override;
    bool showLine(std::size_t characters, std::size_t runs) override;
    bool stepGoesOn(int matchingWords, bool shown) override;
    void finish();
    void close();

    LineMatcher matcher;
    int linesShown = 0;
    long charactersShown = 0;
    long runsShown = 0;
    long paragraphLength = 0;
    double sliceStarted = 0;
    int readsSinceClock = 0;
};

extern FileRender fileRender;
