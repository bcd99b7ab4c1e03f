#include "search/FileText.h"

#include <cstring>

#include "search/CodePage.h"
#include "search/WordText.h"

namespace {

// Undecoded bytes are read in blocks of this size.
const std::size_t RAW_BLOCK = 64 * 1024;
// Characters are put into the code page in runs of up to this many.
const std::size_t UNIT_RUN = 4096;
const int NEED_MORE = -1;

bool startsWith(const unsigned char* bytes, std::size_t length, const char* prefix, std::size_t count)
{
    return length >= count && std::memcmp(bytes, prefix, count) == 0;
}

// The length of the UTF-8 sequence that starts bytes (2 to 4), with its character in *code;
// 0 when it is not a valid one (a stray continuation byte, an overlong form, a surrogate,
// beyond U+10FFFF), NEED_MORE when available ends inside a sequence that is valid so far.
// ASCII is the caller's.
int utf8Sequence(const unsigned char* bytes, std::size_t available, char32_t* code)
{
    unsigned char lead = bytes[0];
    int length;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    char32_t value = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        if (static_cast<std::size_t>(k) >= available)
            return NEED_MORE;
        unsigned char next = bytes[k];
        if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF))
            return 0;
        value = (value << 6) | (next & 0x3F);
    }
    *code = value;
    return length;
}

// Whether bytes are valid UTF-8 holding at least one character beyond ASCII. A sequence cut
// off by the end of the block does not count against them.
bool isUtf8Text(const unsigned char* bytes, std::size_t length)
{
    bool beyondAscii = false;
    for (std::size_t i = 0; i < length;) {
        if (bytes[i] < 0x80) {
            ++i;
            continue;
        }
        char32_t code;
        int sequence = utf8Sequence(bytes + i, length - i, &code);
        if (sequence == NEED_MORE)
            return beyondAscii;  // what is cut off is the next block's, or a broken end
        if (sequence == 0)
            return false;
        beyondAscii = true;
        i += static_cast<std::size_t>(sequence);
    }
    return beyondAscii;
}

const char COMPOUND_SIGNATURE[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

}  // namespace

FileText::FileText(std::FILE* file, bool joinLineEnds, bool mayBeDocument, const std::atomic<int>* keepGoing)
    : file(file), joinLineEnds(joinLineEnds), mayBeDocument(mayBeDocument), keepGoing(keepGoing)
{
}

std::size_t FileText::readFile(char* into, std::size_t count)
{
    if (fileEnded || count == 0)
        return 0;
    std::size_t got = std::fread(into, 1, count, file);
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
    if (textKind == UNDECIDED) {
        // The first block goes where the caller wants its text: for plain bytes counted as
        // they are, which most files are, deciding costs no copy.
        std::size_t got = readFile(into, count);
        decide(into, got);
        if (gaveUp)
            return 0;  // stopped while a document was read whole
        if (textKind == BYTES && !joinLineEnds && pending.empty())
            given = got;
    }
    if (textKind == BYTES && !joinLineEnds) {
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
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(head);
    std::size_t mark = 0;
    if (startsWith(bytes, length, "\xFF\xFE", 2)) {
        textKind = UTF16_LE;
        mark = 2;
    } else if (startsWith(bytes, length, "\xFE\xFF", 2)) {
        textKind = UTF16_BE;
        mark = 2;
    } else if (startsWith(bytes, length, "\xEF\xBB\xBF", 3)) {
        textKind = UTF8;
        mark = 3;
    } else if (isUtf8Text(bytes, length)) {
        textKind = UTF8;
    } else if (mayBeDocument && startsWith(bytes, length, COMPOUND_SIGNATURE, 8)) {
        readDocument(head, length);
        return;
    } else {
        textKind = BYTES;
        if (!joinLineEnds)
            return;
    }
    startDecoding(head + mark, length - mark);
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
            textKind = BYTES;
            return;
        }
        std::size_t had = whole.size();
        whole.resize(had + RAW_BLOCK);
        whole.resize(had + readFile(whole.data() + had, RAW_BLOCK));
    }
    std::u16string text;
    if (whole.size() <= LARGEST_DOCUMENT && readWordText(whole.data(), whole.size(), text)) {
        textKind = WORD_DOCUMENT;
        for (char16_t unit : text)
            putUnit(unit);
        flushUnits();
        return;
    }
    // Not a document after all, or too large to be read whole: its bytes, as any file's.
    textKind = BYTES;
    if (joinLineEnds) {
        startDecoding(whole.data(), whole.size());
    } else {
        pending.swap(whole);
        pendingAt = 0;
    }
}

void FileText::decodeMore()
{
    if (textKind == WORD_DOCUMENT) {
        fileEnded = true;  // the whole document was read at once
    } else {
        std::size_t got = readFile(raw.data() + carried, raw.size() - 4 - carried);
        std::size_t length = carried + got;
        carried = 0;
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(raw.data());
        if (textKind == UTF8) {
            decodeUtf8(bytes, length);
        } else if (textKind == BYTES) {
            for (std::size_t i = 0; i < length; ++i)
                putByte(raw[i]);
        } else {
            decodeUtf16(bytes, length);
        }
    }
    if (fileEnded) {
        // What the file ended in the middle of: half a character, or a pair's first half.
        if (carried > 0 && textKind == UTF8) {
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

void FileText::decodeUtf16(const unsigned char* bytes, std::size_t length)
{
    std::size_t i = 0;
    for (; i + 1 < length; i += 2) {
        unsigned first = bytes[i], second = bytes[i + 1];
        putUnit(static_cast<char16_t>(textKind == UTF16_LE ? first | second << 8 : first << 8 | second));
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
    std::size_t written = unitsToAnsi(units.data(), units.size(), pending.data() + had, 4 * units.size());
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
