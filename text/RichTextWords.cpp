#include "text/RichTextWords.h"

namespace {

using A = RichTextAction;

// Lower-case names sorted in byte order, which the lookup's binary search needs; checked when
// built.
constexpr RichTextWord WORDS[] = {
    {"aftncn", A::SkipGroup, 0},
    {"aftnsep", A::SkipGroup, 0},
    {"aftnsepc", A::SkipGroup, 0},
    {"annotation", A::AsideGroup, 0},
    {"ansi", A::DocumentCodePage, 1252},
    {"ansicpg", A::DocumentCodePage, 0},
    {"bin", A::Binary, 0},
    {"bkmkend", A::SkipGroup, 0},
    {"bkmkstart", A::SkipGroup, 0},
    {"bullet", A::Character, 0x2022},
    {"cell", A::Character, u'\t'},
    {"colortbl", A::SkipGroup, 0},
    {"column", A::BreakLine, 0},
    {"cpg", A::FontCodePage, 0},
    {"datastore", A::SkipGroup, 0},
    {"deff", A::DefaultFont, 0},
    {"emdash", A::Character, 0x2014},
    {"emspace", A::Character, u' '},
    {"endash", A::Character, 0x2013},
    {"enspace", A::Character, u' '},
    {"f", A::Font, 0},
    {"fcharset", A::FontCharset, 0},
    {"filetbl", A::SkipGroup, 0},
    {"fldinst", A::SkipGroup, 0},
    {"fldrslt", A::ReadGroup, 0},
    {"fonttbl", A::FontTable, 0},
    {"footer", A::AsideGroup, 0},
    {"footerf", A::AsideGroup, 0},
    {"footerl", A::AsideGroup, 0},
    {"footerr", A::AsideGroup, 0},
    {"footnote", A::AsideGroup, 0},
    {"ftncn", A::SkipGroup, 0},
    {"ftnsep", A::SkipGroup, 0},
    {"ftnsepc", A::SkipGroup, 0},
    {"generator", A::SkipGroup, 0},
    {"header", A::AsideGroup, 0},
    {"headerf", A::AsideGroup, 0},
    {"headerl", A::AsideGroup, 0},
    {"headerr", A::AsideGroup, 0},
    {"info", A::SkipGroup, 0},
    {"latentstyles", A::SkipGroup, 0},
    {"ldblquote", A::Character, 0x201C},
    {"line", A::LineEnd, 0},
    {"listoverridetable", A::SkipGroup, 0},
    {"listtable", A::SkipGroup, 0},
    {"listtext", A::SkipGroup, 0},
    {"lquote", A::Character, 0x2018},
    {"mac", A::DocumentCodePage, 10000},
    {"nestcell", A::Character, u'\t'},
    {"nestrow", A::LineEnd, 0},
    {"nonesttables", A::SkipGroup, 0},
    {"nonshppict", A::SkipGroup, 0},
    {"objdata", A::SkipGroup, 0},
    {"page", A::BreakLine, 0},
    {"par", A::LineEnd, 0},
    {"pc", A::DocumentCodePage, 437},
    {"pca", A::DocumentCodePage, 850},
    {"pgdsctbl", A::SkipGroup, 0},
    {"pict", A::SkipGroup, 0},
    {"plain", A::Plain, 0},
    {"pn", A::SkipGroup, 0},
    {"pntext", A::SkipGroup, 0},
    {"qmspace", A::Character, u' '},
    {"rdblquote", A::Character, 0x201D},
    {"result", A::ReadGroup, 0},
    {"revtbl", A::SkipGroup, 0},
    {"row", A::LineEnd, 0},
    {"rquote", A::Character, 0x2019},
    {"rsidtbl", A::SkipGroup, 0},
    {"sect", A::BreakLine, 0},
    {"stylesheet", A::SkipGroup, 0},
    {"tab", A::Character, u'\t'},
    {"tc", A::SkipGroup, 0},
    {"template", A::SkipGroup, 0},
    {"themedata", A::SkipGroup, 0},
    {"u", A::Unicode, 0},
    {"uc", A::FallbackBytes, 0},
    {"ud", A::UnicodeGroup, 0},
    {"upr", A::AnsiAlternative, 0},
    {"v", A::Hidden, 0},
    {"xe", A::SkipGroup, 0},
    {"xmlnstbl", A::SkipGroup, 0},
};

constexpr int compareNames(const char* a, const char* b)
{
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
}

constexpr bool sortedByName()
{
    for (std::size_t i = 1; i < sizeof WORDS / sizeof WORDS[0]; ++i) {
        if (compareNames(WORDS[i - 1].name, WORDS[i].name) >= 0 || WORDS[i].name[0] < 'a' || WORDS[i].name[0] > 'z')
            return false;
    }
    return true;
}
static_assert(sortedByName(), "WORDS must be sorted by name, without repeats");

// For each first letter a-z: where its words lie in WORDS, and a bit for each length they
// have, so most words the reader does not act on (they are the many) are refused at once.
struct Index {
    std::size_t begin[26];
    std::size_t end[26];
    unsigned long long lengths[26];
};

constexpr std::size_t lengthOf(const char* name)
{
    std::size_t length = 0;
    while (name[length] != '\0')
        ++length;
    return length;
}

constexpr Index makeIndex()
{
    Index index{};
    for (std::size_t i = 0; i < sizeof WORDS / sizeof WORDS[0]; ++i) {
        std::size_t letter = static_cast<std::size_t>(WORDS[i].name[0] - 'a');
        if (index.lengths[letter] == 0)
            index.begin[letter] = i;
        index.end[letter] = i + 1;
        index.lengths[letter] |= 1ull << lengthOf(WORDS[i].name);
    }
    return index;
}

constexpr Index INDEX = makeIndex();

// Orders name (ended by a NUL) against the length letters at letters, as strcmp would.
int compareWord(const char* name, const char* letters, std::size_t length)
{
    for (std::size_t k = 0; k < length; ++k) {
        if (name[k] != letters[k])
            return static_cast<unsigned char>(name[k]) - static_cast<unsigned char>(letters[k]);
    }
    return name[length] == '\0' ? 0 : 1;
}

}  // namespace

const RichTextWord* findRichTextWord(const char* letters, std::size_t length)
{
    if (length == 0 || length > 63 || letters[0] < 'a' || letters[0] > 'z')
        return nullptr;
    std::size_t letter = static_cast<std::size_t>(letters[0] - 'a');
    if ((INDEX.lengths[letter] >> length & 1) == 0)
        return nullptr;
    std::size_t low = INDEX.begin[letter], high = INDEX.end[letter];
    while (low < high) {
        std::size_t middle = low + (high - low) / 2;
        int order = compareWord(WORDS[middle].name, letters, length);
        if (order == 0)
            return &WORDS[middle];
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return nullptr;
}
