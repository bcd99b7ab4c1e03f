#include "text/FileText.h"

#include <cstring>

#include "text/CodePage.h"
#include "text/RichText.h"
#include "text/WebPage.h"
#include "text/Utf8.h"
#include "text/WordText.h"

namespace {

// Undecoded bytes are read in blocks of this size.
const std::size_t RAW_BLOCK = 64 * 1024;
// Characters are put into the code page in runs of up to this many.
const std::size_t UNIT_RUN = 4096;

// The reader of a markup kind's text, or null for the other kinds.
std::unique_ptr<MarkupReader> markupReaderFor(TextKind kind, const CodePage& codePage)
{
    if (kind == TextKind::RICH_TEXT)
        return std::make_unique<RichTextReader>(codePage);
    if (kind == TextKind::WEB_PAGE)
        return std::make_unique<WebPageReader>(codePage);
    return nullptr;
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
        std::size_t got = readFile(into, count);
        decide(into, got);
        if (gaveUp)
            return 0;  // stopped while a document was read whole
        if (textKind == TextKind::BYTES && !joinLineEnds && pending.empty())
            given = got;
    }
    if (textKind == TextKind::BYTES && !joinLineEnds) {
        given += takePending(into + given, count - given);
        return given + readFile(into + given, count - given);
    }
    // Everything else goes through pending, a character or a byte at a time.
    for (;;) {
        given += takePending(into + given, count - given);
        if (given == count || (fileEnded && carried == 0 && units.empty() && !carriageReturnHeld))
            return given;
        decodeMore();
    }
}

void FileText::decide(const char* head, std::size_t length)
{
    decided = true;
    KindDecision decision = decideKind(ending, reinterpret_cast<const unsigned char*>(head), length);
    textKind = decision.kind;
    if (textKind == TextKind::WORD_DOCUMENT) {
        readDocument(head, length);
        return;
    }
    if (textKind == TextKind::BYTES && !joinLineEnds)
        return;
    markup = markupReaderFor(textKind, codePage);
    startDecoding(head + decision.markLength, length - decision.markLength);
}

void FileText::startDecoding(const char* bytes, std::size_t length)
{
    raw.resize((length > RAW_BLOCK ? length : RAW_BLOCK) + 4);
    std::memcpy(raw.data(), bytes, length);
    carried = length;
    decodeMore();
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
    std::u16string text;
    if (whole.size() <= LARGEST_DOCUMENT && readWordText(whole.data(), whole.size(), text)) {
        textKind = TextKind::WORD_DOCUMENT;
        for (char16_t unit : text)
            putUnit(unit);
        flushUnits();
        return;
    }
    // Not a document after all, or too large to be read whole: its bytes, as any file's.
    textKind = TextKind::BYTES;
    if (joinLineEnds) {
        startDecoding(whole.data(), whole.size());
    } else {
        pending.swap(whole);
        pendingAt = 0;
    }
}

void FileText::decodeMore()
{
    if (textKind == TextKind::WORD_DOCUMENT) {
        fileEnded = true;  // the whole document was read at once
    } else {
        std::size_t got = readFile(raw.data() + carried, raw.size() - 4 - carried);
        std::size_t length = carried + got;
        carried = 0;
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(raw.data());
        if (markup) {
            decodeMarkup(length);
        } else if (textKind == TextKind::UTF8) {
            decodeUtf8(bytes, length);
        } else if (textKind == TextKind::BYTES) {
            for (std::size_t i = 0; i < length; ++i)
                putByte(raw[i]);
        } else {
            decodeUtf16(bytes, length);
        }
    }
    if (fileEnded) {
        // What the file ended in the middle of: half a character, or a pair's first half.
        if (carried > 0 && textKind == TextKind::UTF8) {
            for (std::size_t i = 0; i < carried; ++i)
                putByte(raw[i]);
        } else if (carried > 0) {
            putUnit(u'?');
        }
        carried = 0;
        if (highSurrogate != 0) {
            highSurrogate = 0;
            units.push_back(u'?');
        }
        flushUnits();
        if (carriageReturnHeld) {
            pending.push_back('\r');
            carriageReturnHeld = false;
        }
        return;
    }
    flushUnits();
}

void FileText::decodeMarkup(std::size_t length)
{
    markupUnits.clear();
    markup->take(raw.data(), length, markupUnits);
    if (fileEnded)
        markup->finish(markupUnits);
    for (char16_t unit : markupUnits)
        putUnit(unit);
}

void FileText::decodeUtf16(const unsigned char* bytes, std::size_t length)
{
    std::size_t i = 0;
    for (; i + 1 < length; i += 2) {
        unsigned first = bytes[i], second = bytes[i + 1];
        putUnit(static_cast<char16_t>(textKind == TextKind::UTF16_LE ? first | second << 8 : first << 8 | second));
    }
    if (i < length) {
        raw[0] = static_cast<char>(bytes[i]);
        carried = 1;
    }
}

void FileText::decodeUtf8(const unsigned char* bytes, std::size_t length)
{
    for (std::size_t i = 0; i < length;) {
        if (bytes[i] < 0x80) {
            putUnit(bytes[i++]);
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
            putByte(static_cast<char>(bytes[i++]));
            continue;
        }
        if (code >= 0x10000) {
            putUnit(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            putUnit(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            putUnit(static_cast<char16_t>(code));
        }
        i += static_cast<std::size_t>(sequence);
    }
}

void FileText::putUnit(char16_t unit)
{
    bool isHigh = unit >= 0xD800 && unit <= 0xDBFF;
    bool isLow = unit >= 0xDC00 && unit <= 0xDFFF;
    if (highSurrogate != 0) {
        char16_t high = highSurrogate;
        highSurrogate = 0;
        if (isLow) {
            units.push_back(high);
            units.push_back(unit);
            if (units.size() >= UNIT_RUN)
                flushUnits();
            return;
        }
        units.push_back(u'?');  // half a pair
    }
    if (isHigh) {
        highSurrogate = unit;
    } else if (isLow) {
        units.push_back(u'?');
    } else if (unit < 0x80) {
        putByte(static_cast<char>(unit));
    } else {
        units.push_back(unit);
        if (units.size() >= UNIT_RUN)
            flushUnits();
    }
}

void FileText::putByte(char byte)
{
    flushUnits();
    if (carriageReturnHeld) {
        carriageReturnHeld = false;
        if (byte != '\n')
            pending.push_back('\r');
    }
    if (byte == '\r')
        carriageReturnHeld = true;
    else
        pending.push_back(byte);
}

void FileText::flushUnits()
{
    if (units.empty())
        return;
    if (carriageReturnHeld) {
        pending.push_back('\r');
        carriageReturnHeld = false;
    }
    std::size_t had = pending.size();
    pending.resize(had + 4 * units.size());
    std::size_t written = codePage.toAnsi(units.data(), units.size(), pending.data() + had, 4 * units.size());
    if (written == 0) {
        // The code page refused the run: every character of it is one the page cannot hold.
        written = units.size();
        std::memset(pending.data() + had, '?', written);
    }
    pending.resize(had + written);
    units.clear();
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
