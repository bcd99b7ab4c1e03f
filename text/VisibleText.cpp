#include "text/VisibleText.h"

namespace {

// Counts of open elements stop here; closing ones never opened are ignored.
const unsigned DEPTH_CAP = 1u << 30;

}  // namespace

void VisibleText::open(ElementKind kind, std::u16string& out)
{
    switch (kind) {
    case ElementKind::Inline:
    case ElementKind::Hidden:
        break;
    case ElementKind::Block:
    case ElementKind::Title:
        endLine(out);
        break;
    case ElementKind::LineBreak:
        breakLine(out);
        break;
    case ElementKind::Cell:
        startCell();
        break;
    case ElementKind::Preformatted:
        endLine(out);
        preformattedDepth += preformattedDepth < DEPTH_CAP;
        updateMode();
        skipLineFeed = true;
        break;
    case ElementKind::TextArea:
    case ElementKind::Example:
    case ElementKind::PlainText:
        endLine(out);
        rawPreformatted = true;
        updateMode();
        skipLineFeed = kind == ElementKind::TextArea;
        break;
    case ElementKind::Template:
        hiddenDepth += hiddenDepth < DEPTH_CAP;
        updateMode();
        break;
    }
}

void VisibleText::close(ElementKind kind, std::u16string& out)
{
    switch (kind) {
    case ElementKind::Block:
    case ElementKind::Title:
        endLine(out);
        break;
    case ElementKind::TextArea:
    case ElementKind::Example:
        rawPreformatted = false;
        updateMode();
        endLine(out);
        break;
    case ElementKind::LineBreak:
        breakLine(out);  // </br> breaks a line in browsers too
        break;
    case ElementKind::Preformatted:
        endLine(out);
        preformattedDepth -= preformattedDepth > 0;
        updateMode();
        break;
    case ElementKind::Template:
        hiddenDepth -= hiddenDepth > 0;
        updateMode();
        break;
    case ElementKind::Inline:
    case ElementKind::Cell:
    case ElementKind::Hidden:
    case ElementKind::PlainText:
        break;
    }
}

void VisibleText::updateMode()
{
    afterReturn = false;
    if (hiddenDepth > 0)
        mode = Mode::Hidden;
    else if (preformattedDepth > 0 || rawPreformatted)
        mode = Mode::Preformatted;
    else
        mode = Mode::Flowing;
    // Only a line feed right after the start tag of preformatted text is left out.
    skipLineFeed = skipLineFeed && mode != Mode::Flowing;
}

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
