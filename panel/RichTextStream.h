// A batch of coloured runs put into a rich-text control as one rich-text stream, and the
// check that a control shows such a stream exactly as it shows the same runs put in one by
// one. Under Wine every insertion costs the control a layout pass and several round trips
// to the window system, whatever its length, so a file's lines go in as a few streams.
#pragma once
#include <windows.h>

#include <cstddef>

// Coloured runs of text gathered into one rich-text insertion. A stream is kept to 16 KB: the
// control's time for one grows faster than its length.
class RunBatch {
public:
    static const std::size_t CAPACITY = 16 * 1024;  // of rich-text body; a full batch is shown first
    static const int MAX_COLOURS = 16;

    // Adds a run in colour (0x00BBGGRR; 0 the automatic colour). Returns false, adding
    // nothing, when the run does not fit: the caller shows what is gathered and adds it again.
    bool add(const char* text, unsigned long colour);
    void clear();
    bool empty() const { return length == 0; }

    // The rich-text body of the runs (no header), and the colours that its \cf1, \cf2 ...
    // name, in that order.
    const char* body() const { return text; }
    std::size_t bodyLength() const { return length; }
    int colourCount() const { return colours; }
    unsigned long colour(int i) const { return table[i]; }

private:
    char text[CAPACITY];
    std::size_t length = 0;
    unsigned long table[MAX_COLOURS];
    int colours = 0;
};

// Inserts batch at the end of control's selection as one stream, ending where appending its
// runs one by one would, and scrolls to it.
void streamBatch(HWND control, const RunBatch& batch);

// How the check puts runs in one by one: the way the view appends a run.
using AppendRun = void (*)(HWND control, const char* text, unsigned long colour);

// Whether a control like model (same class, parent and font) shows a streamed batch exactly
// as the same runs put in by appendRun: the same characters in the same colours, fonts and
// sizes, for everything a rendered line can hold. Tried on a hidden control made for it.
bool streamsExactly(HWND model, AppendRun appendRun);
