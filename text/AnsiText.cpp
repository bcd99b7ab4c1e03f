#include "text/AnsiText.h"

#include <cstring>

#include "text/CodePage.h"
#include "text/UnitKernels.h"

namespace {

// Characters are put into the code page in runs of up to this many.
const std::size_t UNIT_RUN = 8192;

bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// What is ready is kept for the next text up to this size; a document's text taken over whole
// is let go with the text.
const std::size_t READY_KEPT = 1024 * 1024;

}  // namespace

AnsiText::AnsiText(const CodePage& codePage, Memory& memory)
    : codePage(codePage), units(memory.units), ready(memory.ready)
{
}

AnsiText::~AnsiText()
{
    if (ready.capacity() > READY_KEPT)
        std::vector<char>().swap(ready);
}

char16_t* AnsiText::unitSpace(std::size_t* room)
{
    if (!units)
        units.reset(new char16_t[UNIT_RUN]);  // never filled first: what is written counts
    if (UNIT_RUN - unitCount < 2)
        flushUnits(false);
    *room = UNIT_RUN - unitCount;
    return units.get() + unitCount;
}

void AnsiText::unitsWritten(std::size_t count)
{
    unitCount += count;
    if (unitCount == UNIT_RUN)
        flushUnits(false);
}

void AnsiText::putUnits(const char16_t* from, std::size_t count)
{
    if (unitCount == 0 && count > 0 && unitsAreAscii(from, count)) {
        putAsciiUnits(from, count);  // nothing waits before it: no copy into the run
        return;
    }
    while (count > 0) {
        std::size_t room = 0;
        char16_t* to = unitSpace(&room);
        std::size_t run = count < room ? count : room;
        std::memcpy(to, from, run * sizeof(char16_t));
        unitsWritten(run);
        from += run;
        count -= run;
    }
}

void AnsiText::flushUnits(bool final)
{
    std::size_t count = unitCount;
    // A pair's first half at the end waits for its second, unless nothing more comes.
    bool keepLast = !final && count > 0 && isHighSurrogate(units[count - 1]);
    if (keepLast)
        --count;
    if (count == 0)
        return;
    char16_t* run = units.get();
    if (unitsAreAscii(run, count)) {
        putAsciiUnits(run, count);
    } else {
        beforeText(run[0] == u'\n' ? '\n' : ' ');
        std::size_t had = readyEnd;
        // The code page takes whole characters: half a pair is a character it lacks.
        for (std::size_t k = 0; k < count; ++k) {
            if (isHighSurrogate(run[k]) && k + 1 < count && isLowSurrogate(run[k + 1]))
                ++k;
            else if (isHighSurrogate(run[k]) || isLowSurrogate(run[k]))
                run[k] = u'?';
        }
        char* to = readyRoom(4 * count);
        std::size_t written = codePage.toAnsi(run, count, to, 4 * count);
        if (written == 0) {
            // The code page refused the run: every character of it is one the page cannot hold.
            written = count;
            std::memset(to, '?', written);
        }
        readyEnd += written;
        joinCarriageReturns(had);
    }
    unitCount = 0;
    if (keepLast)
        units[unitCount++] = run[count];
}

void AnsiText::putAsciiUnits(const char16_t* run, std::size_t count)
{
    // ASCII is the same in every code page, and most text is ASCII.
    beforeText(run[0] == u'\n' ? '\n' : ' ');
    std::size_t had = readyEnd;
    narrowAscii(run, count, readyRoom(count));
    readyEnd += count;
    joinCarriageReturns(had);
}

void AnsiText::putAsciiLittleEndian(const unsigned char* bytes, std::size_t count)
{
    if (count == 0)
        return;
    flushUnits(true);
    beforeText(static_cast<char>(bytes[0]));
    std::size_t had = readyEnd;
    std::size_t taken = 0;
    readyEnd += narrowAsciiJoining(bytes, count, readyRoom(count), &taken);
    holdLastCarriageReturn(had);
}

void AnsiText::putBytes(const char* bytes, std::size_t length)
{
    if (length == 0)
        return;
    flushUnits(true);
    beforeText(bytes[0]);
    std::size_t had = readyEnd;
    putPlain(bytes, length);
    joinCarriageReturns(had);
}

void AnsiText::putPlain(const char* bytes, std::size_t length)
{
    std::memcpy(readyRoom(length), bytes, length);
    readyEnd += length;
}

void AnsiText::putPlain(std::vector<char>& bytes)
{
    if (readyEnd == readyAt) {
        ready.swap(bytes);
        readyAt = 0;
        readyEnd = ready.size();
    } else {
        putPlain(bytes.data(), bytes.size());
    }
}

char* AnsiText::readyRoom(std::size_t count)
{
    // Grown, never shrunk, and never filled first: what is written is what counts.
    if (ready.size() - readyEnd < count)
        ready.resize(readyEnd + count > 2 * ready.size() ? readyEnd + count : 2 * ready.size());
    return ready.data() + readyEnd;
}

void AnsiText::beforeText(char first)
{
    // A line feed is a line feed in every code page: it comes out first when it goes in first.
    if (carriageReturnHeld) {
        carriageReturnHeld = false;
        if (first != '\n')
            putPlain("\r", 1);
    }
}

void AnsiText::joinCarriageReturns(std::size_t from)
{
    readyEnd = from + joinLineEnds(ready.data() + from, readyEnd - from);
    holdLastCarriageReturn(from);
}

void AnsiText::holdLastCarriageReturn(std::size_t from)
{
    // What comes next tells whether it stays.
    if (readyEnd > from && ready[readyEnd - 1] == '\r') {
        carriageReturnHeld = true;
        --readyEnd;
    }
}

void AnsiText::finish()
{
    flushUnits(true);
    if (carriageReturnHeld) {
        putPlain("\r", 1);
        carriageReturnHeld = false;
    }
}

std::size_t AnsiText::take(char* into, std::size_t count)
{
    std::size_t available = readyEnd - readyAt;
    std::size_t n = available < count ? available : count;
    if (n > 0)
        std::memcpy(into, ready.data() + readyAt, n);
    readyAt += n;
    if (readyAt == readyEnd)
        readyAt = readyEnd = 0;
    return n;
}
