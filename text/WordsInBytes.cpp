#include "text/WordsInBytes.h"

#include <cstring>

#include "text/AsciiCase.h"
#include "text/PageElements.h"
#include "text/RichText.h"
#include "text/RichTextWords.h"
#include "text/UnitKernels.h"

namespace {

// ---- Web pages

// As the page reader's tag names end: at white space, "/" or ">".
bool endsTagName(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '/' || c == '>';
}

// Whether an element of this kind, as its start or end tag, always parts the text on either
// side of it: it ends a line, or starts a cell.
bool partsText(ElementKind kind, bool closing)
{
    switch (kind) {
    case ElementKind::Block:
    case ElementKind::Title:
    case ElementKind::TextArea:
    case ElementKind::Example:
    case ElementKind::LineBreak:
    case ElementKind::Preformatted:
        return true;
    case ElementKind::Cell:
    case ElementKind::PlainText:
        return !closing;
    case ElementKind::Inline:
    case ElementKind::Hidden:
    case ElementKind::Template:
        return false;
    }
    return false;
}

// bytes[at] is a "<" right after a letter or digit. Whether the markup from there surely parts
// that letter from the next one that shows.
bool tagsPartWords(const unsigned char* bytes, std::size_t length, std::size_t at)
{
    for (;;) {
        std::size_t i = at + 1;
        bool closing = i < length && bytes[i] == '/';
        i += closing;
        if (i == length)
            return true;  // "<" or "</" at the end: shown, or nothing after it
        if (!isAsciiLetter(bytes[i]))
            return !closing && bytes[i] != '!' && bytes[i] != '?';  // else a comment, or "</>" that shows nothing
        std::size_t nameStart = i;
        while (i < length && !endsTagName(bytes[i]))
            ++i;
        ElementKind kind = ElementKind::Inline;  // a name longer than the page reader keeps
        std::size_t nameLength = i - nameStart;
        if (nameLength <= ELEMENT_NAME_CAP) {
            char name[ELEMENT_NAME_CAP];
            for (std::size_t k = 0; k < nameLength; ++k)
                name[k] = lowerAscii(static_cast<char>(bytes[nameStart + k]));
            kind = elementKind(name, nameLength);
        }
        if (partsText(kind, closing))
            return true;  // wherever the tag ends, or if it never does
        const void* found = std::memchr(bytes + i, '>', length - i);
        if (found == nullptr)
            return true;  // a tag the page ends inside: nothing after it shows
        std::size_t end = static_cast<std::size_t>(static_cast<const unsigned char*>(found) - bytes);
        // A quoted attribute value may hold the ">" that seems to end the tag.
        if (std::memchr(bytes + i, '"', end - i) != nullptr || std::memchr(bytes + i, '\'', end - i) != nullptr)
            return false;
        if (kind != ElementKind::Inline && !(closing && kind == ElementKind::Cell))
            return false;
        at = end + 1;
        if (at == length)
            return true;
        if (bytes[at] != '<')
            return !isAsciiLetterOrDigit(bytes[at]);
    }
}

// Whether an escape of a page, "&" and what follows it (left bytes in all), makes no letter or
// digit: a numeric reference may, and "&fjlig;" does.
bool pageEscapeKeepsLetters(const unsigned char* escape, std::size_t left)
{
    if (escape[1] == '#')
        return false;
    static const char LIGATURE[] = "&fjlig";
    std::size_t k = 0;
    while (k + 1 < sizeof LIGATURE && k < left && lowerAscii(static_cast<char>(escape[k])) == LIGATURE[k])
        ++k;
    return k + 1 < sizeof LIGATURE;
}

// ---- Rich text

// Whether an escape of rich text, a backslash and what follows it (left bytes in all), makes
// no letter or digit: \'hh and \uN may. And a "\*" must be followed by the control word it
// marks: the reader shows what comes between the two, and then takes that word for the
// destination of the group, so a \par there ends no line but hides the rest of the group, and
// may join the words around it. (\uc, \ul and the like are words of their own.)
bool richTextEscapeKeepsLetters(const unsigned char* escape, std::size_t left)
{
    if (escape[1] == '\'')
        return false;
    if (escape[1] == '*')
        return left > 3 && escape[2] == '\\' && isAsciiLetter(escape[3]);
    unsigned char after = left > 2 ? escape[2] : ' ';
    return !isAsciiDigit(after) && after != '-';
}

// Whether the control word of the length letters at letters puts something in its place: a
// character, or a line end.
bool richTextWordParts(const char* letters, std::size_t length)
{
    const RichTextWord* word = length <= RichTextReader::MAX_WORD_LETTERS ? findRichTextWord(letters, length) : nullptr;
    if (word == nullptr)
        return false;
    return word->action == RichTextAction::Character || word->action == RichTextAction::LineEnd ||
           word->action == RichTextAction::BreakLine;
}

bool richTextPartsAt(const unsigned char* bytes, std::size_t length, std::size_t at)
{
    std::size_t i = at;
    while (i < length && (bytes[i] == '\r' || bytes[i] == '\n' || bytes[i] == '\t'))
        ++i;  // never text
    if (i == length)
        return true;  // nothing follows
    unsigned char c = bytes[i++];
    if (c == '{' || c == '}')
        return false;  // the group may hide what follows, or end hidden text
    if (c != '\\')
        return !isAsciiLetterOrDigit(c);  // a byte of text
    if (i == length)
        return true;
    c = bytes[i];
    if (!isAsciiLetter(c)) {
        // A control symbol: the braces, backslash, "\~", "\_" and a line end show as
        // characters.
        return c == '\\' || c == '{' || c == '}' || c == '~' || c == '_' || c == '\r' || c == '\n';
    }
    std::size_t start = i;
    while (i < length && isAsciiLetter(bytes[i]))
        ++i;
    return richTextWordParts(reinterpret_cast<const char*>(bytes + start), i - start);
}

}  // namespace

bool lettersStandInBytes(TextKind kind, const unsigned char* bytes, std::size_t length)
{
    return lettersStandInBytes(letterStopsOf(kind), bytes, length);
}

bool lettersStandInBytes(const LetterStops& stops, const unsigned char* bytes, std::size_t length)
{
    if (stops.escapeKeeps == nullptr)
        return false;
    for (std::size_t i = 0;; ++i) {
        i = asciiStop(reinterpret_cast<const char*>(bytes), i, length, stops.lead, stops.after);
        if (i == length)
            return true;
        if (lettersFallAt(stops, bytes, length, i))
            return false;
    }
}

LetterStops letterStopsOf(TextKind kind)
{
    if (kind == TextKind::WEB_PAGE)
        return LetterStops{'&', {'#', 'f', 'F'}, pageEscapeKeepsLetters};
    if (kind == TextKind::RICH_TEXT)
        return LetterStops{'\\', {'\'', 'u', '*'}, richTextEscapeKeepsLetters};
    return LetterStops{'\0', {'\0', '\0', '\0'}, nullptr};
}

bool lettersFallAt(const LetterStops& stops, const unsigned char* bytes, std::size_t length, std::size_t at)
{
    if (stops.escapeKeeps == nullptr)
        return true;
    if (!isAsciiStop(bytes, at, length, stops.lead, stops.after))
        return false;
    // A lead byte is printable: it stops the look only as an escape.
    return bytes[at] != static_cast<unsigned char>(stops.lead) || !stops.escapeKeeps(bytes + at, length - at);
}

WordCuts wordCutsOf(TextKind kind)
{
    if (kind == TextKind::WEB_PAGE)
        return WordCuts{"<", 1, tagsPartWords};
    if (kind == TextKind::RICH_TEXT)
        return WordCuts{"\\{}\r\n\t", 6, richTextPartsAt};
    return WordCuts{"", 0, nullptr};
}
