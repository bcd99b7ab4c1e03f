#include "text/VisibleText.h"

void VisibleText::putSlowly(char16_t c, std::u16string& out)
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
