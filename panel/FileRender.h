// Renders the selected file's matching lines into the match view a slice at a time, on the
// window's thread: between slices the window takes input, paints and answers other threads,
// so no file freezes it. Lines look exactly as the line matcher renders them. A view that
// would grow past what the control can lay out and hold ends with a grey note of how many
// matching lines it leaves out.
#pragma once
#include <windows.h>

#include <cstdio>
#include <optional>

#include "panel/ResultList.h"
#include "search/ByteSource.h"
#include "search/LineMatcher.h"
#include "search/ReadCutter.h"
#include "search/SearchState.h"
#include "search/ViewSink.h"
#include "search/WordRules.h"

class FileRender final : private ViewSink {
public:
    // At most this many matching lines are shown.
    static const int LINE_LIMIT = 10000;
    // Wine's control holds about 110 bytes for every character; the view stops before it
    // holds more than this many.
    static const long CHARACTER_LIMIT = 1200000;
    // And about 800 bytes for every run of one colour, and it streams and paints them one
    // by one: the view stops before it holds more than this many. 10,000 lines with a few
    // matches each take 40,000 to 50,000.
    static const long RUN_LIMIT = 60000;
    // Wine's control lays a paragraph out again at every insertion into it, in a time that
    // grows with the square of its length: 16 KB took up to 0.2 s, 64 KB two seconds. The
    // reads of one long physical line form one paragraph, so the view stops before one
    // passes this many characters.
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
    bool running() const { return file != nullptr; }

    // Matching line words of the file, counted so far (all of them once it is done).
    int matchCount = 0;
    // Matching lines left out of the view so far.
    int linesLeftOut = 0;

private:
    void clearView() override {}
    void appendText(const char* text, unsigned long colour) override;
    bool roomForARead() const;
    void finish();
    void close();

    std::FILE* file = nullptr;
    std::optional<FileTextBytes> bytes;
    std::optional<ReadCutter> reads;
    QueryWords words;
    bool wordsCut = false;
    int lineNumber = 0;
    int linesShown = 0;
    long charactersShown = 0;
    long runsShown = 0;
    long paragraphLength = 0;
    char path[SELECTED_FILE_CAPACITY];
    char query[QUERY_CAPACITY];
    char line[LINE_CAPACITY];
    char folded[LINE_CAPACITY];
    char piece[LINE_CAPACITY];
    ReadBlock block;
};

extern FileRender fileRender;
