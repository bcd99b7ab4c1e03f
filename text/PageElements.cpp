#include "text/PageElements.h"

#include <cstdint>

namespace {

// A name of up to 12 letters as two numbers, its first 8 bytes and the next 4, each byte after
// the end 0: they order as the names do, and are compared whole.
struct Key {
    std::uint64_t head;
    std::uint32_t tail;
};

constexpr Key keyOf(const char* name, std::size_t length)
{
    // Written out without a loop: a page names an element at every tag.
    auto byte = [name, length](std::size_t i, int shift) {
        return static_cast<std::uint64_t>(i < length ? static_cast<unsigned char>(name[i]) : 0) << shift;
    };
    return Key{byte(0, 56) | byte(1, 48) | byte(2, 40) | byte(3, 32) | byte(4, 24) | byte(5, 16) | byte(6, 8) |
                   byte(7, 0),
               static_cast<std::uint32_t>(byte(8, 24) | byte(9, 16) | byte(10, 8) | byte(11, 0))};
}

constexpr std::size_t lengthOf(const char* name)
{
    std::size_t length = 0;
    while (name[length] != '\0')
        ++length;
    return length;
}

struct Element {
    Key key;
    ElementKind kind;

    constexpr Element(const char* name, ElementKind kind) : key(keyOf(name, lengthOf(name))), kind(kind) {}
};

// Sorted by name, for the binary search.
constexpr Element ELEMENTS[] = {
    {"address", ElementKind::Block},
    {"article", ElementKind::Block},
    {"aside", ElementKind::Block},
    {"blockquote", ElementKind::Block},
    {"br", ElementKind::LineBreak},
    {"caption", ElementKind::Block},
    {"center", ElementKind::Block},
    {"dd", ElementKind::Block},
    {"details", ElementKind::Block},
    {"dialog", ElementKind::Block},
    {"dir", ElementKind::Block},
    {"div", ElementKind::Block},
    {"dl", ElementKind::Block},
    {"dt", ElementKind::Block},
    {"fieldset", ElementKind::Block},
    {"figcaption", ElementKind::Block},
    {"figure", ElementKind::Block},
    {"footer", ElementKind::Block},
    {"form", ElementKind::Block},
    {"h1", ElementKind::Block},
    {"h2", ElementKind::Block},
    {"h3", ElementKind::Block},
    {"h4", ElementKind::Block},
    {"h5", ElementKind::Block},
    {"h6", ElementKind::Block},
    {"header", ElementKind::Block},
    {"hgroup", ElementKind::Block},
    {"hr", ElementKind::Block},
    {"iframe", ElementKind::Hidden},
    {"legend", ElementKind::Block},
    {"li", ElementKind::Block},
    {"listing", ElementKind::Preformatted},
    {"main", ElementKind::Block},
    {"menu", ElementKind::Block},
    {"nav", ElementKind::Block},
    {"noembed", ElementKind::Hidden},
    {"noframes", ElementKind::Hidden},
    {"noscript", ElementKind::Hidden},
    {"ol", ElementKind::Block},
    {"optgroup", ElementKind::Block},
    {"option", ElementKind::Block},
    {"p", ElementKind::Block},
    {"plaintext", ElementKind::PlainText},
    {"pre", ElementKind::Preformatted},
    {"script", ElementKind::Hidden},
    {"section", ElementKind::Block},
    {"style", ElementKind::Hidden},
    {"summary", ElementKind::Block},
    {"table", ElementKind::Block},
    {"tbody", ElementKind::Block},
    {"td", ElementKind::Cell},
    {"template", ElementKind::Template},
    {"textarea", ElementKind::TextArea},
    {"tfoot", ElementKind::Block},
    {"th", ElementKind::Cell},
    {"thead", ElementKind::Block},
    {"title", ElementKind::Title},
    {"tr", ElementKind::Block},
    {"ul", ElementKind::Block},
    {"xmp", ElementKind::Example},
};

const std::size_t ELEMENT_COUNT = sizeof ELEMENTS / sizeof ELEMENTS[0];

// Where the names of each first letter start in ELEMENTS, so that a search looks only among
// the few that share a tag's first letter ('z' + 1 ends the last).
struct LetterStarts {
    std::size_t at[27];

    constexpr LetterStarts() : at{}
    {
        std::size_t i = 0;
        for (int letter = 0; letter < 27; ++letter) {
            while (i < ELEMENT_COUNT && (ELEMENTS[i].key.head >> 56) < static_cast<std::uint64_t>('a' + letter))
                ++i;
            at[letter] = i;
        }
    }
};

constexpr LetterStarts LETTER_STARTS;

}  // namespace

ElementKind elementKind(const char* name, std::size_t length)
{
    if (length == 0 || length > ELEMENT_NAME_CAP || name[0] < 'a' || name[0] > 'z')
        return ElementKind::Inline;
    Key key = keyOf(name, length);
    std::size_t low = LETTER_STARTS.at[name[0] - 'a'], high = LETTER_STARTS.at[name[0] - 'a' + 1];
    while (low < high) {
        std::size_t middle = low + (high - low) / 2;
        const Key& known = ELEMENTS[middle].key;
        if (key.head == known.head && key.tail == known.tail)
            return ELEMENTS[middle].kind;
        if (key.head < known.head || (key.head == known.head && key.tail < known.tail))
            high = middle;
        else
            low = middle + 1;
    }
    return ElementKind::Inline;
}
