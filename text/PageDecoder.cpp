#include "text/PageDecoder.h"

#include <cstdint>
#include <cstring>

#include "text/UnitKernels.h"
#include "text/Utf8.h"

namespace {

const char16_t REPLACEMENT = 0xFFFD;
const unsigned GB18030 = 54936;

enum : int { NEEDS_MORE = -1 };

// The length of the UTF-8 character that starts bytes (count of them at hand); 0 when they
// start none, with *bad set to how many bytes belong to the broken sequence; NEEDS_MORE when
// the bytes end inside a character that could still be valid.
int utf8Length(const unsigned char* bytes, std::size_t count, std::size_t* bad)
{
    unsigned char lead = bytes[0];
    if (lead < 0x80)
        return 1;
    int length = lead >= 0xC2 && lead <= 0xDF   ? 2
                 : lead >= 0xE0 && lead <= 0xEF ? 3
                 : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                : 0;
    *bad = 1;
    if (length == 0)
        return 0;
    // The second byte's range rules out overlong forms, surrogates and code points past U+10FFFF.
    unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    for (int i = 1; i < length; ++i) {
        if (static_cast<std::size_t>(i) >= count)
            return NEEDS_MORE;
        if (bytes[i] < low || bytes[i] > high) {
            *bad = i;
            return 0;
        }
        low = 0x80;
        high = 0xBF;
    }
    return length;
}

// Whether count bytes are valid UTF-8; a character cut off at their end counts as valid
// unless the file ends there.
bool validUtf8(const unsigned char* bytes, std::size_t count, bool ended)
{
    std::size_t at = 0, bad = 0;
    while (at < count) {
        at += asciiPrefix(reinterpret_cast<const char*>(bytes + at), count - at);
        if (at == count)
            break;
        int length = utf8Length(bytes + at, count - at, &bad);
        if (length == NEEDS_MORE)
            return !ended;
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

}  // namespace

PageDecoder::PageDecoder(const CodePage& codePage) : codePage(codePage) {}

std::size_t PageDecoder::take(const char* bytes, std::size_t count, char16_t* units)
{
    const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes);
    if (form == Form::Undecided) {
        std::size_t room = sizeof first - firstCount;
        std::size_t kept = count < room ? count : room;
        if (kept > 0)
            std::memcpy(first + firstCount, in, kept);
        firstCount += kept;
        if (firstCount < sizeof first)
            return 0;
        std::size_t written = decide(false, units);
        return written + decode(in + kept, count - kept, false, units + written);
    }
    return decode(in, count, false, units);
}

std::size_t PageDecoder::finish(char16_t* units)
{
    std::size_t written = form == Form::Undecided ? decide(true, units) : 0;
    return written + decode(nullptr, 0, true, units + written);
}

std::size_t PageDecoder::decide(bool ended, char16_t* units)
{
    std::size_t skip = 0;
    if (firstCount >= 3 && first[0] == 0xEF && first[1] == 0xBB && first[2] == 0xBF) {
        form = Form::Utf8;
        skip = 3;
    } else if (firstCount >= 2 && first[0] == 0xFF && first[1] == 0xFE) {
        form = Form::Utf16Le;
        skip = 2;
    } else if (firstCount >= 2 && first[0] == 0xFE && first[1] == 0xFF) {
        form = Form::Utf16Be;
        skip = 2;
    } else {
        unsigned declared = Charsets::prescan(reinterpret_cast<const char*>(first), firstCount);
        if (declared == 65001)
            form = Form::Utf8;
        else if (declared != 0 && codePage.knows(declared))
            usePage(declared, Form::CodePage);
        else if (validUtf8(first, firstCount, ended))
            usePage(CodePage::ANSI, Form::Utf8OrAnsi);
        else
            usePage(CodePage::ANSI, Form::CodePage);
    }
    return decode(first + skip, firstCount - skip, ended, units);
}

void PageDecoder::usePage(unsigned chosen, Form chosenForm)
{
    form = chosenForm;
    page = chosen;
    for (unsigned byte = 0; byte < 256; ++byte) {
        leadBytes[byte] = codePage.isLeadByte(page, static_cast<unsigned char>(byte));
        hasLeadBytes = hasLeadBytes || leadBytes[byte];
    }
}

std::size_t PageDecoder::decode(const unsigned char* bytes, std::size_t count, bool ended, char16_t* out)
{
    // Every byte gives at most one unit; a held character completed gives at most two.
    std::size_t written = 0;
    if (heldCount > 0) {
        // The held character completed by the first bytes: decode a few together.
        unsigned char joined[12];
        std::size_t added = count < 8 ? count : 8;
        std::memcpy(joined, held, heldCount);
        if (added > 0)
            std::memcpy(joined + heldCount, bytes, added);
        std::size_t taken = decodeSome(joined, heldCount + added, ended && added == count, out, &written);
        if (taken <= heldCount) {
            // Still cut off: only when the block was shorter than a character.
            std::memmove(held, joined + taken, heldCount + added - taken);
            heldCount = heldCount + added - taken;
            return written;
        }
        bytes += taken - heldCount;
        count -= taken - heldCount;
        heldCount = 0;
    }
    std::size_t more = 0;
    std::size_t taken = count > 0 || ended ? decodeSome(bytes, count, ended, out + written, &more) : 0;
    written += more;
    heldCount = count - taken;
    if (heldCount > 0)
        std::memcpy(held, bytes + taken, heldCount);
    return written;
}

std::size_t PageDecoder::decodeSome(const unsigned char* bytes, std::size_t count, bool ended, char16_t* out,
                                    std::size_t* written) const
{
    *written = 0;
    if (count == 0)
        return 0;
    switch (form) {
    case Form::Utf8:
    case Form::Utf8OrAnsi:
        return decodeUtf8(bytes, count, ended, out, written);
    case Form::Utf16Le:
    case Form::Utf16Be:
        return decodeUtf16(bytes, count, ended, out, written);
    case Form::CodePage:
        return decodePage(bytes, count, ended, out, written);
    case Form::Undecided:
        break;
    }
    return 0;
}

std::size_t PageDecoder::decodeUtf8(const unsigned char* bytes, std::size_t count, bool ended, char16_t* out,
                                    std::size_t* written) const
{
    std::size_t at = 0, put = 0, bad = 0;
    while (at < count) {
        unsigned char lead = bytes[at];
        if (lead < 0x80) {
            // Pages are mostly ASCII: it is widened a run at a time.
            std::size_t run = asciiPrefix(reinterpret_cast<const char*>(bytes + at), count - at);
            widenAscii(reinterpret_cast<const char*>(bytes + at), run, out + put);
            put += run;
            at += run;
            continue;
        }
        int length = utf8Length(bytes + at, count - at, &bad);
        if (length == NEEDS_MORE && !ended)
            break;
        if (length > 0) {
            std::uint32_t value = lead & (0x7F >> length);
            for (int i = 1; i < length; ++i)
                value = value << 6 | (bytes[at + i] & 0x3F);
            if (value >= 0x10000) {
                value -= 0x10000;
                out[put++] = static_cast<char16_t>(0xD800 + (value >> 10));
                out[put++] = static_cast<char16_t>(0xDC00 + (value & 0x3FF));
            } else {
                out[put++] = static_cast<char16_t>(value);
            }
            at += length;
        } else if (form == Form::Utf8OrAnsi) {
            // A character of the ANSI code page, of one byte or two; UTF-8 may follow it.
            std::size_t size = leadBytes[lead] ? 2 : 1;
            if (at + size > count && !ended)
                break;
            std::size_t got = at + size > count
                                  ? 0
                                  : codePage.toUnits(CodePage::ANSI, reinterpret_cast<const char*>(bytes + at), size,
                                                     out + put, size);
            if (got == 0)
                out[put] = REPLACEMENT;  // cut off by the end of the file, or refused
            put += got > 0 ? got : 1;
            at = at + size > count ? count : at + size;
        } else {
            out[put++] = REPLACEMENT;
            at += length == NEEDS_MORE ? count - at : bad;
        }
    }
    *written = put;
    return at;
}

std::size_t PageDecoder::decodeUtf16(const unsigned char* bytes, std::size_t count, bool ended, char16_t* out,
                                     std::size_t* written) const
{
    bool little = form == Form::Utf16Le;
    std::size_t at = 0, put = 0;
    while (at + 1 < count) {
        char16_t unit = static_cast<char16_t>(little ? bytes[at] | bytes[at + 1] << 8 : bytes[at] << 8 | bytes[at + 1]);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (at + 3 >= count && !ended)
                break;  // its low surrogate may come with the next block
            char16_t next = at + 3 < count ? static_cast<char16_t>(little ? bytes[at + 2] | bytes[at + 3] << 8
                                                                          : bytes[at + 2] << 8 | bytes[at + 3])
                                           : 0;
            if (next >= 0xDC00 && next <= 0xDFFF) {
                out[put++] = unit;
                out[put++] = next;
                at += 4;
                continue;
            }
            unit = REPLACEMENT;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            unit = REPLACEMENT;
        }
        out[put++] = unit;
        at += 2;
    }
    if (ended && at < count) {
        out[put++] = REPLACEMENT;  // half a unit at the end of the file
        at = count;
    }
    *written = put;
    return at;
}

std::size_t PageDecoder::decodePage(const unsigned char* bytes, std::size_t count, bool ended, char16_t* out,
                                    std::size_t* written) const
{
    std::size_t whole = count;
    if (hasLeadBytes) {
        // Never hand the system half a character: find where the last whole one ends.
        std::size_t at = 0;
        while (at < count) {
            std::size_t length = 1;
            if (leadBytes[bytes[at]])
                length = page == GB18030 && at + 1 < count && bytes[at + 1] >= '0' && bytes[at + 1] <= '9' ? 4 : 2;
            if (at + length > count)
                break;
            at += length;
        }
        whole = at;
    }
    std::size_t put = whole > 0 ? codePage.toUnits(page, reinterpret_cast<const char*>(bytes), whole, out, whole) : 0;
    if (put == 0 && whole > 0)
        out[put++] = REPLACEMENT;  // the system refused them: say something was there
    if (ended && whole < count) {
        out[put++] = REPLACEMENT;  // a character cut off by the end of the file
        whole = count;
    }
    *written = put;
    return whole;
}
