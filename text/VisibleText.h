// The text of a web page as a browser lays it out, put together character by character: runs
// of white space become one space, and none at the start or end of a line; blocks end lines
// without leaving empty ones, <br> ends one even when empty; table cells are parted by a tab.
// Preformatted text keeps its spaces and ends lines at its line feeds (CR LF and a lone CR as
// one). Hidden text is dropped. Control characters other than white space are never shown.
#pragma once
#include <cstddef>
#include <string>

#include "text/PageElements.h"

class VisibleText {
public:
    // An element opens or closes: a line ends or breaks, a cell starts, text is preformatted
    // or hidden until its end tag, as its kind says.
    void open(ElementKind kind, std::u16string& out);
    void close(ElementKind kind, std::u16string& out);

    void put(char16_t c, std::u16string& out)
    {
        if (c > u' ' && mode == Mode::Flowing) {
            if (separator != 0) {
                out.push_back(separator);
                separator = 0;
            }
            out.push_back(c);
            started = true;
            return;
        }
        if (mode == Mode::Flowing && (c == u' ' || c == u'\n' || c == u'\t')) {
            // White space between words, the commonest character after letters.
            afterReturn = false;
            if (started && separator == 0)
                separator = u' ';
            return;
        }
        putSlowly(c, out);
    }

    // Puts count characters, none of them white space or a control character but for single
    // spaces between two others.
    void putRun(const char16_t* run, std::size_t count, std::u16string& out)
    {
        if (mode != Mode::Flowing) {
            for (std::size_t i = 0; i < count; ++i)
                putSlowly(run[i], out);
            return;
        }
        if (separator != 0) {
            out.push_back(separator);
            separator = 0;
        }
        out.append(run, count);
        started = true;
    }

    // The end of a block: ends the line if it holds text.
    void endLine(std::u16string& out)
    {
        if (mode == Mode::Hidden)
            return;
        if (started)
            out.push_back(u'\n');
        started = false;
        separator = 0;
    }

    // The end of the page: ends the line if it holds text, hidden as the page's end may be.
    void end(std::u16string& out)
    {
        if (started)
            out.push_back(u'\n');
        started = false;
        separator = 0;
    }

    // <br>: ends the line, empty or not.
    void breakLine(std::u16string& out)
    {
        if (mode == Mode::Hidden)
            return;
        out.push_back(u'\n');
        started = false;
        separator = 0;
    }

    // A table cell starts: a tab before its text, if the line has text before it.
    void startCell()
    {
        if (mode != Mode::Hidden && started)
            separator = u'\t';
    }

private:
    enum class Mode : unsigned char { Flowing, Preformatted, Hidden };

    void updateMode();
    // White space, control characters, and any character when not flowing.
    void putSlowly(char16_t c, std::u16string& out);

    Mode mode = Mode::Flowing;
    bool started = false;       // the line holds text
    char16_t separator = 0;     // a space or tab owed before the line's next text
    bool afterReturn = false;   // the last character was a carriage return
    bool skipLineFeed = false;  // after <pre> or <textarea>: a line feed right away is not text (never while flowing)
    unsigned preformattedDepth = 0;
    unsigned hiddenDepth = 0;
    bool rawPreformatted = false;  // inside <textarea>, <xmp> or <plaintext>
};
