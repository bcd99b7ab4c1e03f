#include "text/PageElements.h"

#include <cstring>

namespace {

struct Element {
    const char* name;
    ElementKind kind;
};

// Sorted by name, for the binary search.
const Element ELEMENTS[] = {
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

}  // namespace

ElementKind elementKind(const char* name, std::size_t length)
{
    std::size_t low = 0, high = sizeof ELEMENTS / sizeof ELEMENTS[0];
    while (low < high) {
        std::size_t middle = low + (high - low) / 2;
        const char* known = ELEMENTS[middle].name;
        std::size_t knownLength = std::strlen(known);
        int order = std::memcmp(name, known, length < knownLength ? length : knownLength);
        if (order == 0)
            order = length < knownLength ? -1 : length > knownLength ? 1 : 0;
        if (order == 0)
            return ELEMENTS[middle].kind;
        if (order < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return ElementKind::Inline;
}
