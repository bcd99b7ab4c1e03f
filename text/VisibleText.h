// The text of a web page as a browser lays it out, put together character by character: runs
// of white space become one space, and none at the start or end of a line; blocks end lines
// without leaving empty ones, <br> ends one even when empty; table cells are parted by a tab.
// Preformatted text keeps its spaces and ends lines at its line feeds (CR LF and a lone CR as
// one). Hidden text is dropped. Control characters other than white space are never shown.
#pragma once
#include <string>

class VisibleText {
public:
    enum class Mode : unsigned char { Flowing, Preformatted, Hidden };

    void setMode(Mode next)
    {
        mode = next;
        afterReturn = false;
    }

    // After <pre> or <textarea>: a line feed right away is not part of the text.
    void skipNextLineFeed() { skipLineFeed = true; }

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
        putSlowly(c, out);
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
    void putSlowly(char16_t c, std::u16string& out)
    {
        bool lineFeed = c == u'\n' && !afterReturn;
        afterReturn = c == u'\r';
        bool skipped = skipLineFeed && (lineFeed || c == u'\r');
        skipLineFeed = false;
        if (mode == Mode::Hidden || skipped)
            return;
        bool space = c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
        if (mode == Mode::Flowing) {
            if (space) {
                if (started && separator == 0)
                    separator = u' ';
                return;
            }
            if (c < u' ')
                return;
        } else if (c == u'\r' || lineFeed) {
            breakLine(out);
            return;
        } else if (c == u'\n' || (c < u' ' && c != u'\t')) {
            return;  // the line feed of a CR LF, or a control character
        }
        if (separator != 0)
            out.push_back(separator);
        separator = 0;
        out.push_back(c);
        started = true;
    }

    Mode mode = Mode::Flowing;
    bool started = false;      // the line holds text
    char16_t separator = 0;    // a space or tab owed before the line's next text
    bool afterReturn = false;  // the last character was a carriage return
    bool skipLineFeed = false;
};
