#include "text/RichTextLines.h"

void RichTextLines::reset()
{
    lineOpen_ = false;
    heldCount_ = 0;
    heldLineOpen_ = false;
}

void RichTextLines::put(char16_t unit, bool held, std::u16string& out)
{
    if (!held) {
        out.push_back(unit);
        lineOpen_ = unit != u'\n';
        if (unit == u'\n')
            flushHeld(out);
        return;
    }
    if (heldCount_ == MAX_HELD_UNITS) {
        if (lineOpen_)
            out.push_back(u'\n');
        lineOpen_ = false;
        flushHeld(out);
    }
    held_[heldCount_++] = unit;
    heldLineOpen_ = unit != u'\n';
}

void RichTextLines::finish(std::u16string& out)
{
    if (lineOpen_)
        out.push_back(u'\n');
    flushHeld(out);
    reset();
}

void RichTextLines::flushHeld(std::u16string& out)
{
    out.append(held_, heldCount_);
    if (heldLineOpen_)
        out.push_back(u'\n');
    heldCount_ = 0;
    heldLineOpen_ = false;
}
