#include "text/CharacterReferences.h"

#include <cstring>

#include "text/CharacterReferenceTable.h"

namespace {

static_assert(LONGEST_REFERENCE <= 32, "a name longer than CharacterReferences keeps");

// Characters 0x80 to 0x9F of windows-1252, which numeric references in that range stand for;
// 0 where the page has none and the code point stays as written.
const char16_t WINDOWS_1252_HIGH[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Compares the length bytes of key with the zero-terminated name, as strcmp orders them.
int compareName(const char* key, std::size_t length, const char* name)
{
    int order = std::strncmp(key, name, length);
    if (order != 0)
        return order;
    return name[length] == '\0' ? 0 : -1;
}

// The index of the name of length bytes in the table, or REFERENCE_COUNT.
unsigned find(const char* key, std::size_t length)
{
    unsigned low = 0, high = REFERENCE_COUNT;
    while (low < high) {
        unsigned middle = low + (high - low) / 2;
        int order = compareName(key, length, REFERENCE_NAMES[middle]);
        if (order == 0)
            return middle;
        if (order < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return REFERENCE_COUNT;
}

std::size_t unitsOf(unsigned index, char16_t units[2])
{
    std::uint32_t packed = REFERENCE_UNITS[index];
    units[0] = static_cast<char16_t>(packed & 0xFFFF);
    units[1] = static_cast<char16_t>(packed >> 16);
    return units[1] != 0 ? 2 : 1;
}

// Finds the longest known reference at the start of the length name characters (ASCII letters
// and digits): with semicolon, name was followed by ";", which the whole name then includes;
// otherwise, or when that is not known, only the legacy names can match a beginning of it.
// Writes the units it stands for and their number, and returns how many name characters it
// took; 0 when no name matches.
std::size_t matchName(const char* name, std::size_t length, bool semicolon, char16_t units[2], std::size_t* unitCount)
{
    *unitCount = 0;
    if (semicolon && length < LONGEST_REFERENCE) {
        char withSemicolon[LONGEST_REFERENCE];
        std::memcpy(withSemicolon, name, length);
        withSemicolon[length] = ';';
        unsigned index = find(withSemicolon, length + 1);
        if (index != REFERENCE_COUNT) {
            *unitCount = unitsOf(index, units);
            return length;
        }
    }
    for (std::size_t taken = length < LONGEST_LEGACY_REFERENCE ? length : LONGEST_LEGACY_REFERENCE; taken > 0;
         --taken) {
        unsigned index = find(name, taken);
        if (index != REFERENCE_COUNT) {
            *unitCount = unitsOf(index, units);
            return taken;
        }
    }
    return 0;
}

// The units the numeric reference to value stands for, and their number.
std::size_t numeric(std::uint32_t value, char16_t units[2])
{
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        units[0] = 0xFFFD;
        return 1;
    }
    if (value >= 0x80 && value <= 0x9F && WINDOWS_1252_HIGH[value - 0x80] != 0) {
        units[0] = WINDOWS_1252_HIGH[value - 0x80];
        return 1;
    }
    if (value < 0x10000) {
        units[0] = static_cast<char16_t>(value);
        return 1;
    }
    value -= 0x10000;
    units[0] = static_cast<char16_t>(0xD800 + (value >> 10));
    units[1] = static_cast<char16_t>(0xDC00 + (value & 0x3FF));
    return 2;
}

bool isAlphanumeric(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

int digitValue(char16_t c, bool hex)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (hex && c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (hex && c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

void putWritten(const char* written, std::size_t length, VisibleText& text, std::u16string& out)
{
    for (std::size_t k = 0; k < length; ++k)
        text.put(static_cast<unsigned char>(written[k]), out);
}

}  // namespace

CharacterReferences::Step CharacterReferences::take(char16_t c, VisibleText& text, std::u16string& out)
{
    switch (state) {
    case State::CharacterReference:
        if (isAlphanumeric(c)) {
            nameLength = 0;
            state = State::NamedCharacterReference;
            return take(c, text, out);
        }
        if (c == u'#') {
            value = 0;
            state = State::NumericCharacterReference;
            return Step::More;
        }
        text.put(u'&', out);
        return Step::Left;
    case State::NamedCharacterReference:
        if (isAlphanumeric(c) && nameLength < NAME_CAP) {
            name[nameLength++] = static_cast<char>(c);
            return Step::More;
        }
        resolveName(c == u';', text, out);
        return c == u';' ? Step::Took : Step::Left;
    case State::NumericCharacterReference:
        if (c == u'x' || c == u'X') {
            hexMark = static_cast<char>(c);
            state = State::HexadecimalCharacterReferenceStart;
            return Step::More;
        }
        if (digitValue(c, false) >= 0) {
            state = State::DecimalCharacterReference;
            return take(c, text, out);
        }
        putWritten("&#", 2, text, out);
        return Step::Left;
    case State::HexadecimalCharacterReferenceStart:
        if (digitValue(c, true) >= 0) {
            state = State::HexadecimalCharacterReference;
            return take(c, text, out);
        }
        putWritten("&#", 2, text, out);
        text.put(static_cast<unsigned char>(hexMark), out);
        return Step::Left;
    case State::HexadecimalCharacterReference:
    case State::DecimalCharacterReference: {
        bool hex = state == State::HexadecimalCharacterReference;
        int digit = digitValue(c, hex);
        if (digit >= 0) {
            // Saturated past the last code point: every longer number means U+FFFD.
            std::uint32_t next = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
            value = next > 0x110000 ? 0x110000 : next;
            return Step::More;
        }
        resolveNumber(text, out);
        return c == u';' ? Step::Took : Step::Left;
    }
    }
    return Step::Left;
}

void CharacterReferences::finish(VisibleText& text, std::u16string& out)
{
    // A character that cannot belong to any reference ends it as the end of the file does.
    take(u'\0', text, out);
}

void CharacterReferences::resolveName(bool semicolon, VisibleText& text, std::u16string& out)
{
    char16_t found[2];
    std::size_t count = 0;
    std::size_t taken = matchName(name, nameLength, semicolon, found, &count);
    if (taken == 0)
        text.put(u'&', out);
    for (std::size_t k = 0; k < count; ++k)
        text.put(found[k], out);
    putWritten(name + taken, nameLength - taken, text, out);
    if (semicolon && taken < nameLength)
        text.put(u';', out);
}

void CharacterReferences::resolveNumber(VisibleText& text, std::u16string& out)
{
    char16_t found[2];
    std::size_t count = numeric(value, found);
    for (std::size_t k = 0; k < count; ++k)
        text.put(found[k], out);
}
