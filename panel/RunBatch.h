// Coloured runs of text gathered into one rich-text insertion. Under Wine every insertion
// costs the control a layout pass and several round trips to the window system, whatever its
// length, so a file's matching lines go in as a few streams rather than run by run. A stream
// is kept to 16 KB: the control's time for one grows faster than its length.
#pragma once
#include <cstddef>

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
