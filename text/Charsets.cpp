#include "text/Charsets.h"

#include <cstring>

#include "text/CharsetLabelTable.h"

namespace {

// The longest label kept; every label browsers know is shorter.
const std::size_t LABEL_CAP = 32;
// What is kept of an attribute's name and value: enough for "http-equiv" and a content's
// "text/html; charset=...", whose longer values are cut.
const std::size_t NAME_CAP = 16;
const std::size_t VALUE_CAP = 128;

bool isSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

unsigned char lower(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

bool isLetter(unsigned char c)
{
    return lower(c) >= 'a' && lower(c) <= 'z';
}

// Whether the count bytes at text are word, in any letter case (word in lower case).
bool startsWith(const char* text, std::size_t count, const char* word)
{
    std::size_t length = std::strlen(word);
    if (count < length)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (lower(static_cast<unsigned char>(text[i])) != static_cast<unsigned char>(word[i]))
            return false;
    }
    return true;
}

// A reader of the bytes the prescan looks at: a position that never passes the end.
struct Bytes {
    const char* bytes;
    std::size_t count;
    std::size_t at;

    bool ended() const { return at >= count; }
    unsigned char peek() const { return static_cast<unsigned char>(bytes[at]); }
    void skipPast(const char* end)
    {
        std::size_t length = std::strlen(end);
        while (at < count && !(count - at >= length && std::memcmp(bytes + at, end, length) == 0))
            ++at;
        at = at + length < count ? at + length : count;
    }
};

// An attribute as the prescan keeps it: its name and value in lower case, cut at their caps.
struct Attribute {
    char name[NAME_CAP];
    std::size_t nameLength;
    char value[VALUE_CAP];
    std::size_t valueLength;

    bool named(const char* word) const
    {
        return nameLength == std::strlen(word) && std::memcmp(name, word, nameLength) == 0;
    }
};

void keep(char* to, std::size_t* length, std::size_t cap, unsigned char c)
{
    if (*length < cap)
        to[(*length)++] = static_cast<char>(lower(c));
}

// Reads the next attribute of a tag into attribute; false at the tag's end or the bytes'.
bool nextAttribute(Bytes& in, Attribute& attribute)
{
    attribute.nameLength = attribute.valueLength = 0;
    while (!in.ended() && (isSpace(in.peek()) || in.peek() == '/'))
        ++in.at;
    if (in.ended() || in.peek() == '>')
        return false;
    bool named = false;
    for (; !in.ended(); ++in.at) {
        unsigned char c = in.peek();
        if (c == '=' && named)
            break;
        if (isSpace(c)) {
            while (!in.ended() && isSpace(in.peek()))
                ++in.at;
            if (in.ended() || in.peek() != '=')
                return true;
            break;
        }
        if (c == '/' || c == '>')
            return true;
        keep(attribute.name, &attribute.nameLength, NAME_CAP, c);
        named = true;
    }
    if (in.ended())
        return false;
    ++in.at;  // the "="
    while (!in.ended() && isSpace(in.peek()))
        ++in.at;
    if (in.ended())
        return false;
    unsigned char quote = in.peek();
    if (quote == '"' || quote == '\'') {
        for (++in.at; !in.ended() && in.peek() != quote; ++in.at)
            keep(attribute.value, &attribute.valueLength, VALUE_CAP, in.peek());
        if (in.ended())
            return false;
        ++in.at;
        return true;
    }
    for (; !in.ended() && !isSpace(in.peek()) && in.peek() != '>'; ++in.at)
        keep(attribute.value, &attribute.valueLength, VALUE_CAP, in.peek());
    return true;
}

// The code page named by "charset=" in the value of a content attribute, as the HTML standard
// extracts it; 0 when there is none.
unsigned charsetOfContent(const char* value, std::size_t length)
{
    for (std::size_t at = 0; at + 7 <= length; ++at) {
        if (!startsWith(value + at, length - at, "charset"))
            continue;
        std::size_t i = at + 7;
        while (i < length && isSpace(static_cast<unsigned char>(value[i])))
            ++i;
        if (i >= length || value[i] != '=')
            continue;
        ++i;
        while (i < length && isSpace(static_cast<unsigned char>(value[i])))
            ++i;
        if (i >= length)
            return 0;
        if (value[i] == '"' || value[i] == '\'') {
            const char* end = static_cast<const char*>(std::memchr(value + i + 1, value[i], length - i - 1));
            return end ? Charsets::codePageOfLabel(value + i + 1, end - (value + i + 1)) : 0;
        }
        std::size_t start = i;
        while (i < length && !isSpace(static_cast<unsigned char>(value[i])) && value[i] != ';')
            ++i;
        return Charsets::codePageOfLabel(value + start, i - start);
    }
    return 0;
}

// The code page a <meta> tag's attributes declare, or 0; reads up to the tag's end.
unsigned metaCharset(Bytes& in)
{
    Attribute attribute;
    bool seenEquiv = false, seenContent = false, seenCharset = false, pragma = false;
    unsigned page = 0;
    bool fromContent = false;
    while (nextAttribute(in, attribute)) {
        if (attribute.named("http-equiv") && !seenEquiv) {
            seenEquiv = true;
            pragma = attribute.valueLength == 12 && std::memcmp(attribute.value, "content-type", 12) == 0;
        } else if (attribute.named("content") && !seenContent && !seenCharset) {
            seenContent = true;
            page = charsetOfContent(attribute.value, attribute.valueLength);
            fromContent = page != 0;
        } else if (attribute.named("charset") && !seenCharset) {
            seenCharset = true;
            page = Charsets::codePageOfLabel(attribute.value, attribute.valueLength);
            fromContent = false;
        }
    }
    if (fromContent && !pragma)
        return 0;
    return page == 1200 || page == 1201 ? 65001 : page;
}

}  // namespace

unsigned Charsets::codePageOfLabel(const char* label, std::size_t length)
{
    while (length > 0 && isSpace(static_cast<unsigned char>(label[0]))) {
        ++label;
        --length;
    }
    while (length > 0 && isSpace(static_cast<unsigned char>(label[length - 1])))
        --length;
    if (length == 0 || length >= LABEL_CAP)
        return 0;
    char key[LABEL_CAP];
    for (std::size_t i = 0; i < length; ++i)
        key[i] = static_cast<char>(lower(static_cast<unsigned char>(label[i])));
    key[length] = '\0';
    std::size_t low = 0, high = sizeof CHARSET_LABELS / sizeof CHARSET_LABELS[0];
    while (low < high) {
        std::size_t middle = low + (high - low) / 2;
        int order = std::strcmp(key, CHARSET_LABELS[middle].label);
        if (order == 0)
            return CHARSET_LABELS[middle].codePage;
        if (order < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return 0;
}

unsigned Charsets::prescan(const char* bytes, std::size_t count)
{
    Bytes in{bytes, count < PRESCAN_BYTES ? count : PRESCAN_BYTES, 0};
    Attribute ignored;
    while (!in.ended()) {
        const char* at = in.bytes + in.at;
        std::size_t left = in.count - in.at;
        if (at[0] != '<') {
            // Text between tags: on to the next "<".
            const void* next = std::memchr(at, '<', left);
            in.at = next != nullptr ? static_cast<std::size_t>(static_cast<const char*>(next) - in.bytes) : in.count;
        } else if (startsWith(at, left, "<!--")) {
            in.at += 2;  // "<!-->" ends where it starts
            in.skipPast("-->");
        } else if (startsWith(at, left, "<meta") && left > 5 && (isSpace(at[5]) || at[5] == '/')) {
            in.at += 5;
            unsigned page = metaCharset(in);
            if (page != 0)
                return page;
        } else if (left > 2 && at[0] == '<' &&
                   (isLetter(at[1]) || (at[1] == '/' && isLetter(static_cast<unsigned char>(at[2]))))) {
            while (!in.ended() && !isSpace(in.peek()) && in.peek() != '>')
                ++in.at;
            while (nextAttribute(in, ignored)) {
            }
        } else if (left > 1 && at[0] == '<' && (at[1] == '!' || at[1] == '/' || at[1] == '?')) {
            in.skipPast(">");
        } else {
            ++in.at;
        }
    }
    return 0;
}
