// Where the line matcher renders a file's matching lines: runs of text, each in one colour.
// The program's match view stands behind it; tests record the runs instead.
#pragma once

// Colours are 0x00BBGGRR values. AUTOMATIC_COLOUR is the control's own text colour, not black.
const unsigned long AUTOMATIC_COLOUR = 0x000000;
const unsigned long LINE_NUMBER_COLOUR = 0xFF0000;  // blue
const unsigned long MATCH_COLOUR = 0x0000FF;        // red
const unsigned long NOTICE_COLOUR = 0x808080;       // grey

class ViewSink {
public:
    virtual void clearView() = 0;
    virtual void appendText(const char* text, unsigned long colour) = 0;

protected:
    ~ViewSink() = default;
};
