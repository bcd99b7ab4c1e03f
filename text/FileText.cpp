#include "text/FileText.h"

#include <cstring>

#include "text/CodePage.h"
#include "text/Utf8.h"
#include "text/WordText.h"

namespace {

// Undecoded bytes are read in blocks of this size; the window of a decision fits one.
const std::size_t RAW_BLOCK = 64 * 1024;
static_assert(HIGH_BYTE_WINDOW <= RAW_BLOCK, "the bytes a decision looks at fit one block");
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

}  // namespace

FileText::FileText(ByteSource& file, const CodePage& codePage, Ending ending, bool joinLineEnds,
                   const std::atomic<int>* keepGoing)
    : file(file), codePage(codePage), ending(ending), joinLineEnds(joinLineEnds), keepGoing(keepGoing)
{
}

std::size_t FileText::readFile(char* into, std::size_t count)
{
    if (fileEnded || count == 0)
        return 0;
    std::size_t got = file.read(into, count);
    if (got < count)
        fileEnded = true;
    return got;
}

std::size_t FileText::read(char* into, std::size_t count)
{
    if (gaveUp || (keepGoing != nullptr && keepGoing->load(std::memory_order_relaxed) == 0)) {
        gaveUp = true;
        return 0;
    }
    std::size_t given = 0;
    if (!decided) {
        // The first block goes where the caller wants its text: for plain bytes counted as
        // they are, which most files are, deciding costs no copy.
        given = decide(into, readFile(into, count));
        if (gaveUp)
            return 0;  // stopped while a document was read whole
    }
    for (;;) {
        given += takePending(into + given, count - given);
        if (given == count)
            return given;
        if (passesThrough()) {
            if (fileEnded)
                return given;
            std::size_t got = readFile(into + given, count - given);
            given += textKind == TextKind::ASCII ? passAscii(into + given, got) : got;
        } else if (textEnded()) {
            return given;
        } else {
            decodeMore();
        }
    }
}

std::size_t FileText::decide(char* head, std::size_t length)
{
    decided = true;
    KindDecision decision = decideKind(ending, reinterpret_cast<const unsigned char*>(head), length);
    textKind = decision.kind;
    if (textKind == TextKind::WORD_DOCUMENT) {
        readDocument(head, length);
        return 0;
    }
    if (passesThrough())
        return passAscii(head, length);
    putRaw(head + decision.markLength, length - decision.markLength);
    return 0;
}

bool FileText::passesThrough() const
{
    return !joinLineEnds && (textKind == TextKind::BYTES || textKind == TextKind::ASCII);
}

bool FileText::textEnded() const
{
    return fileEnded && carried == 0 && unitCount == 0 && !carriageReturnHeld && documentAt == document.size();
}

std::size_t FileText::passAscii(const char* bytes, std::size_t length)
{
    std::size_t ascii = asciiPrefix(bytes, length);
    if (ascii < length)
        decideAtHighByte(bytes + ascii, length - ascii);
    return ascii;
}

void FileText::decideAtHighByte(const char* bytes, std::size_t length)
{
    if (length < HIGH_BYTE_WINDOW && !fileEnded) {
        // The window runs on past these bytes: it is taken into raw whole.
        ensureBuffers();
        std::memmove(raw.data(), bytes, length);
        while (length < HIGH_BYTE_WINDOW && !fileEnded)
            length += readFile(raw.data() + length, HIGH_BYTE_WINDOW - length);
        bytes = raw.data();
    }
    textKind = kindAtHighByte(reinterpret_cast<const unsigned char*>(bytes), length);
    if (passesThrough())
        pending.insert(pending.end(), bytes, bytes + length);
    else
        putRaw(bytes, length);
}

void FileText::readDocument(const char* head, std::size_t length)
{
    // A document is read whole: its streams lie anywhere in the file.
    std::vector<char> whole(head, head + length);
    while (!fileEnded && whole.size() <= LARGEST_DOCUMENT) {
        if (keepGoing != nullptr && keepGoing->load(std::memory_order_relaxed) == 0) {
            gaveUp = true;
            textKind = TextKind::BYTES;
            return;
        }
        std::size_t had = whole.size();
        whole.resize(had + RAW_BLOCK);
        whole.resize(had + readFile(whole.data() + had, RAW_BLOCK));
    }
    if (whole.size() <= LARGEST_DOCUMENT && readWordText(whole.data(), whole.size(), document))
        return;
    // Not a document after all, or too large to be read whole: its bytes, as any file's.
    textKind = TextKind::BYTES;
    if (joinLineEnds) {
        putRaw(whole.data(), whole.size());
    } else {
        pending.swap(whole);
        pendingAt = 0;
    }
}

void FileText::decodeMore()
{
    if (textKind == TextKind::WORD_DOCUMENT) {
        std::size_t left = document.size() - documentAt;
        std::size_t run = left < UNIT_RUN ? left : UNIT_RUN;
        putUnits(document.data() + documentAt, run);
        documentAt += run;
    } else {
        ensureBuffers();
        std::size_t length = carried + readFile(raw.data() + carried, RAW_BLOCK - carried);
        carried = 0;
        putRaw(raw.data(), length);
    }
    if (fileEnded && documentAt == document.size())
        finish();
}

void FileText::putRaw(const char* bytes, std::size_t length)
{
    const unsigned char* unsignedBytes = reinterpret_cast<const unsigned char*>(bytes);
    switch (textKind) {
    case TextKind::ASCII: {
        std::size_t ascii = asciiPrefix(bytes, length);
        putBytes(bytes, ascii);
        if (ascii < length)
            decideAtHighByte(bytes + ascii, length - ascii);
        break;
    }
    case TextKind::BYTES:
        putBytes(bytes, length);
        break;
    case TextKind::UTF8:
        decodeUtf8(unsignedBytes, length);
        break;
    case TextKind::UTF16_LE:
    case TextKind::UTF16_BE:
        decodeUtf16(unsignedBytes, length);
        break;
    case TextKind::WORD_DOCUMENT:
        break;
    }
}

void FileText::decodeUtf16(const unsigned char* bytes, std::size_t length)
{
    ensureBuffers();
    const bool bigEndian = textKind == TextKind::UTF16_BE;
    std::size_t i = 0;
    while (length - i >= 2) {
        std::size_t room = UNIT_RUN - unitCount;
        std::size_t run = (length - i) / 2 < room ? (length - i) / 2 : room;
        char16_t* to = units.data() + unitCount;
        const unsigned char* from = bytes + i;
        // Two loops without a branch inside, which the compiler turns into vector code.
        if (bigEndian) {
            for (std::size_t k = 0; k < run; ++k)
                to[k] = static_cast<char16_t>(from[2 * k] << 8 | from[2 * k + 1]);
        } else {
            for (std::size_t k = 0; k < run; ++k)
                to[k] = static_cast<char16_t>(from[2 * k] | from[2 * k + 1] << 8);
        }
        unitCount += run;
        i += 2 * run;
        if (unitCount == UNIT_RUN)
            flushUnits(false);
    }
    if (i < length) {
        raw[0] = static_cast<char>(bytes[i]);
        carried = 1;
    }
}

void FileText::decodeUtf8(const unsigned char* bytes, std::size_t length)
{
    ensureBuffers();
    for (std::size_t i = 0; i < length;) {
        if (UNIT_RUN - unitCount < 2)
            flushUnits(false);
        std::size_t ascii = asciiPrefix(reinterpret_cast<const char*>(bytes + i), length - i);
        if (ascii > 0) {
            std::size_t room = UNIT_RUN - unitCount;
            std::size_t run = ascii < room ? ascii : room;
            for (std::size_t k = 0; k < run; ++k)
                units[unitCount + k] = bytes[i + k];
            unitCount += run;
            i += run;
            continue;
        }
        char32_t code = 0;
        int sequence = utf8Sequence(bytes + i, length - i, &code);
        if (sequence == NEED_MORE && !fileEnded) {
            carried = length - i;
            std::memmove(raw.data(), bytes + i, carried);
            return;
        }
        if (sequence <= 0) {
            // Not UTF-8 after all, here: the byte is taken as it is.
            putBytes(reinterpret_cast<const char*>(bytes + i), 1);
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            units[unitCount++] = static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            units[unitCount++] = static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            units[unitCount++] = static_cast<char16_t>(code);
        }
        i += static_cast<std::size_t>(sequence);
    }
}

void FileText::putUnits(const char16_t* from, std::size_t count)
{
    ensureBuffers();
    while (count > 0) {
        std::size_t room = UNIT_RUN - unitCount;
        std::size_t run = count < room ? count : room;
        std::memcpy(units.data() + unitCount, from, run * sizeof(char16_t));
        unitCount += run;
        from += run;
        count -= run;
        if (unitCount == UNIT_RUN)
            flushUnits(false);
    }
}

void FileText::flushUnits(bool final)
{
    std::size_t count = unitCount;
    // A pair's first half at the end waits for its second, unless nothing more comes.
    bool keepLast = !final && count > 0 && isHighSurrogate(units[count - 1]);
    if (keepLast)
        --count;
    if (count == 0)
        return;
    char16_t* run = units.data();
    if (carriageReturnHeld) {
        carriageReturnHeld = false;
        if (run[0] != u'\n')
            pending.push_back('\r');
    }
    char16_t all = 0;
    for (std::size_t k = 0; k < count; ++k)
        all = static_cast<char16_t>(all | run[k]);
    std::size_t had = pending.size();
    if (all < 0x80) {
        // ASCII is the same in every code page, and most text is ASCII.
        pending.resize(had + count);
        char* to = pending.data() + had;
        for (std::size_t k = 0; k < count; ++k)
            to[k] = static_cast<char>(run[k]);
    } else {
        // The code page takes whole characters: half a pair is a character it lacks.
        for (std::size_t k = 0; k < count; ++k) {
            if (isHighSurrogate(run[k]) && k + 1 < count && isLowSurrogate(run[k + 1]))
                ++k;
            else if (isHighSurrogate(run[k]) || isLowSurrogate(run[k]))
                run[k] = u'?';
        }
        pending.resize(had + 4 * count);
        std::size_t written = codePage.toAnsi(run, count, pending.data() + had, 4 * count);
        if (written == 0) {
            // The code page refused the run: every character of it is one the page cannot hold.
            written = count;
            std::memset(pending.data() + had, '?', written);
        }
        pending.resize(had + written);
    }
    joinCarriageReturns(had);
    unitCount = 0;
    if (keepLast)
        units[unitCount++] = run[count];
}

void FileText::putBytes(const char* bytes, std::size_t length)
{
    if (length == 0)
        return;
    flushUnits(true);
    if (carriageReturnHeld) {
        carriageReturnHeld = false;
        if (bytes[0] != '\n')
            pending.push_back('\r');
    }
    std::size_t had = pending.size();
    pending.insert(pending.end(), bytes, bytes + length);
    joinCarriageReturns(had);
}

void FileText::joinCarriageReturns(std::size_t from)
{
    // The text from from on holds no CR a LF can follow but those it holds itself: a CR held
    // before it was put back or left out already. A line feed is a line feed in every code page.
    char* text = pending.data();
    const std::size_t end = pending.size();
    const void* first = std::memchr(text + from, '\r', end - from);
    if (first == nullptr)
        return;
    std::size_t to = static_cast<std::size_t>(static_cast<const char*>(first) - text);
    std::size_t at = to;
    while (at < end) {
        // text[at] is a CR.
        if (at + 1 == end) {
            carriageReturnHeld = true;
            break;
        }
        if (text[at + 1] != '\n')
            text[to++] = '\r';
        ++at;
        const void* next = std::memchr(text + at, '\r', end - at);
        std::size_t stop = next == nullptr ? end : static_cast<std::size_t>(static_cast<const char*>(next) - text);
        std::memmove(text + to, text + at, stop - at);
        to += stop - at;
        at = stop;
    }
    pending.resize(to);
}

void FileText::finish()
{
    // What the file ended in the middle of: half a character, or a pair's first half.
    if (carried > 0 && textKind == TextKind::UTF8) {
        putBytes(raw.data(), carried);
    } else if (carried > 0) {
        units[unitCount++] = u'?';
    }
    carried = 0;
    flushUnits(true);
    if (carriageReturnHeld) {
        pending.push_back('\r');
        carriageReturnHeld = false;
    }
}

void FileText::ensureBuffers()
{
    if (raw.empty()) {
        raw.resize(RAW_BLOCK + 4);
        units.resize(UNIT_RUN);
    }
}

std::size_t FileText::takePending(char* into, std::size_t count)
{
    std::size_t available = pending.size() - pendingAt;
    std::size_t n = available < count ? available : count;
    if (n > 0)
        std::memcpy(into, pending.data() + pendingAt, n);
    pendingAt += n;
    if (pendingAt == pending.size()) {
        pending.clear();
        pendingAt = 0;
    }
    return n;
}
