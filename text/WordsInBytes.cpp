#include "text/WordsInBytes.h"

#include <cstring>

#include "text/AsciiCase.h"
#include "text/PageElements.h"
#include "text/RichText.h"
#include "text/RichTextWords.h"
#include "text/UnitKernels.h"

namespace {

bool startsWith(const unsigned char* bytes, std::size_t length, const char* prefix)
{
    std::size_t count = std::strlen(prefix);
    return length >= count && std::memcmp(bytes, prefix, count) == 0;
}

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

bool pageWordsStandInBytes(const unsigned char* bytes, std::size_t length)
{
    for (std::size_t i = 0;; ++i) {
        i = pageWordStop(reinterpret_cast<const char*>(bytes), i, length);
        if (i == length)
            return true;
        const unsigned char* after = bytes + i + 1;
        std::size_t left = length - i - 1;
        if (bytes[i] == '&') {
            if (startsWith(after, left, "#") || startsWith(after, left, "fjlig"))
                return false;
        } else if (bytes[i] != '<' || !tagsPartWords(bytes, length, i)) {
            return false;  // a control character, a byte from 0x80 up, or tags that may join words
        }
    }
}

// ---- Rich text

// The code pages \ansicpg and \cpg may name and leave ASCII bytes as they are.
bool keepsAscii(long long page)
{
    static const long long PAGES[] = {0,    437,  850,  852,  866,  874,  932,  936,  949,   950,  1250,
                                      1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 10000, 65001};
    for (long long kept : PAGES) {
        if (page == kept)
            return true;
    }
    return false;
}

bool richTextWordsStandInBytes(const unsigned char* bytes, std::size_t length)
{
    const char* text = reinterpret_cast<const char*>(bytes);
    bool wordBefore = false;  // the last byte of text read was a letter or digit
    bool gap = false;         // and CR, LF or a tab came after it
    std::size_t i = 0;
    while (i < length) {
        std::size_t run = plainRichTextRun(text + i, length - i);
        if (run > 0) {
            if (wordBefore && gap && isAsciiLetterOrDigit(bytes[i]))
                return false;
            i += run;
            wordBefore = isAsciiLetterOrDigit(bytes[i - 1]);
            gap = false;
            continue;
        }
        unsigned char c = bytes[i++];
        if (c == '\r' || c == '\n' || c == '\t') {
            while (i < length && (bytes[i] == '\r' || bytes[i] == '\n'))
                ++i;  // a line end of the file, CR LF, in one step
            gap = true;
            continue;
        }
        if (c == '{' || c == '}') {
            if (wordBefore)
                return false;  // the group may hide what follows, or end hidden text
            continue;
        }
        if (c != '\\')
            return false;  // a control character, or a byte from 0x80 up
        if (i == length)
            return true;
        c = bytes[i++];
        if (!isAsciiLetter(c)) {
            // A control symbol: the braces, backslash, "\~", "\_" and a line end show as
            // characters; "\'hh" makes one.
            if (c == '\'')
                return false;
            bool shows = c == '\\' || c == '{' || c == '}' || c == '~' || c == '_' || c == '\r' || c == '\n';
            if (!shows && wordBefore)
                return false;
            wordBefore = wordBefore && !shows;
            gap = false;
            continue;
        }
        // As the reader takes a word: its letters, a "-" and every digit after them (the
        // first MAX_PARAM_DIGITS make the parameter), and a space.
        std::size_t start = i - 1;
        while (i < length && isAsciiLetter(bytes[i]))
            ++i;
        std::size_t letters = i - start;
        bool negative = i < length && bytes[i] == '-';
        i += negative;
        long long param = 0;
        for (int digits = 0; i < length && isAsciiDigit(bytes[i]); ++i) {
            if (digits++ < RichTextReader::MAX_PARAM_DIGITS)
                param = param * 10 + (bytes[i] - '0');
        }
        if (i < length && bytes[i] == ' ')
            ++i;
        // After anything but a letter or digit, only the words that make characters or name a
        // code page matter (\u, \bin, \ansicpg, \cpg): they start with these letters.
        char first = text[start];
        bool matters = wordBefore || first == 'u' || first == 'b' || first == 'a' || first == 'c';
        const RichTextWord* word =
            matters && letters <= RichTextReader::MAX_WORD_LETTERS ? findRichTextWord(text + start, letters) : nullptr;
        RichTextAction action = word != nullptr ? word->action : RichTextAction::Plain;
        switch (action) {
        case RichTextAction::Unicode:
        case RichTextAction::Binary:
            return false;
        case RichTextAction::DocumentCodePage:
        case RichTextAction::FontCodePage:
            if (!keepsAscii(negative ? -param : param))
                return false;
            break;
        case RichTextAction::Character:
        case RichTextAction::LineEnd:
        case RichTextAction::BreakLine:
            wordBefore = false;
            gap = false;
            continue;
        default:
            break;
        }
        if (wordBefore)
            return false;
    }
    return true;
}

}  // namespace

bool wordsStandInBytes(TextKind kind, const unsigned char* bytes, std::size_t length)
{
    if (kind == TextKind::WEB_PAGE)
        return pageWordsStandInBytes(bytes, length);
    if (kind == TextKind::RICH_TEXT)
        return richTextWordsStandInBytes(bytes, length);
    return false;
}
