// The lines the reader of rich text (RichText.h) hands out: the line the body's text is on,
// and the text of footnotes, comments, headers and footers that start inside that line,
// held back to follow it on lines of their own, so the words around a footnote's mark stay
// one line. At most MAX_HELD_UNITS are held: when the holding fills, the body's line is
// ended and what is held goes out at once (which may cut a line of the footnote in two).
#pragma once
#include <cstddef>
#include <string>

class RichTextLines {
public:
    static const std::size_t MAX_HELD_UNITS = 4096;

    RichTextLines() { reset(); }

    void reset();

    // Whether the body's line (or, held, the held text's last line) has text.
    bool lineOpen(bool held) const { return held ? heldLineOpen_ : lineOpen_; }

    // Writes unit to out, or holds it; a line end of the body hands on what is held.
    void put(char16_t unit, bool held, std::u16string& out);

    // The body's text has been written to out directly: units that end no line, if any.
    void wrote(bool any) { lineOpen_ = lineOpen_ || any; }

    // Ends the body's line and the held text's last line, if they have text, and hands on
    // what is held.
    void finish(std::u16string& out);

private:
    void flushHeld(std::u16string& out);

    bool lineOpen_;
    char16_t held_[MAX_HELD_UNITS];
    std::size_t heldCount_;
    bool heldLineOpen_;
};
