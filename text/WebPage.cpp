#include "text/WebPage.h"

#include <cstring>

#include "text/UnitKernels.h"

namespace {

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
}

bool isLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// A character of a tag name in lower case; "?", which no name holds, for any but ASCII.
char lower(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return static_cast<char>(c + (u'a' - u'A'));
    return c > 0 && c < 0x80 ? static_cast<char>(c) : '?';
}

}  // namespace

WebPageReader::WebPageReader(const CodePage& codePage) : decoder(codePage) {}

void WebPageReader::take(const char* bytes, std::size_t count, std::u16string& out)
{
    // A piece at a time: its characters are read while they are still in the cache, and
    // their buffer stays small.
    while (count > 0) {
        std::size_t piece = count < PIECE_BYTES ? count : PIECE_BYTES;
        read(units, decoder.take(bytes, piece, units), out);
        bytes += piece;
        count -= piece;
    }
}

void WebPageReader::finish(std::u16string& out)
{
    read(units, decoder.finish(units), out);
    flush(out);
    text.end(out);
}

void WebPageReader::read(const char16_t* p, std::size_t n, std::u16string& out)
{
    std::size_t i = 0;
    while (i < n) {
        char16_t c = p[i];
        switch (state) {
        case State::Data:
        case State::RcData:
            while (c != u'<' && c != u'&') {
                // A run of characters that are neither markup nor white space, but for single
                // spaces between words, goes out whole.
                std::size_t start = i;
                i += c > u' ' ? plainTextRun(p + i, n - i) : 0;
                if (i > start) {
                    text.putRun(p + start, i - start, out);
                } else {
                    text.put(c, out);
                    ++i;
                }
                if (i == n)
                    return;
                c = p[i];
            }
            returnState = state;
            if (c == u'&')
                reference.start();
            state = c == u'&'              ? State::CharacterReference
                    : state == State::Data ? State::TagOpen
                                           : State::RawTextLessThanSign;
            ++i;
            break;
        case State::RawText:
            if (!rawShown) {
                while (i < n && p[i] != u'<')
                    ++i;
                if (i == n)
                    return;
            }
            while (p[i] != u'<') {
                text.put(p[i], out);
                if (++i == n)
                    return;
            }
            returnState = State::RawText;
            state = State::RawTextLessThanSign;
            ++i;
            break;
        case State::PlainText:
            text.put(c, out);
            ++i;
            break;
        case State::TagOpen:
            if (isLetter(c)) {
                closing = false;
                tagLength = 0;
                tagTooLong = false;
                state = State::TagName;
            } else if (c == u'/') {
                state = State::EndTagOpen;
                ++i;
            } else if (c == u'!') {
                state = State::MarkupDeclarationOpen;
                ++i;
            } else if (c == u'?') {
                state = State::BogusComment;
            } else {
                text.put(u'<', out);
                state = State::Data;
            }
            break;
        case State::EndTagOpen:
            if (isLetter(c)) {
                closing = true;
                tagLength = 0;
                tagTooLong = false;
                state = State::TagName;
            } else {
                state = c == u'>' ? State::Data : State::BogusComment;
                i += c == u'>';
            }
            break;
        case State::TagName:
            ++i;
            if (isSpace(c) || c == u'/') {
                state = State::BeforeAttributeName;
            } else if (c == u'>') {
                endTag(out);
            } else if (tagLength < TAG_NAME_CAP) {
                tagName[tagLength++] = lower(c);
            } else {
                tagTooLong = true;
            }
            break;
        case State::BeforeAttributeName:
            ++i;
            if (c == u'>')
                endTag(out);
            else if (!isSpace(c) && c != u'/')
                state = State::AttributeName;
            break;
        case State::AttributeName:
            ++i;
            if (isSpace(c))
                state = State::AfterAttributeName;
            else if (c == u'/')
                state = State::BeforeAttributeName;
            else if (c == u'=')
                state = State::BeforeAttributeValue;
            else if (c == u'>')
                endTag(out);
            break;
        case State::AfterAttributeName:
            ++i;
            if (c == u'/')
                state = State::BeforeAttributeName;
            else if (c == u'=')
                state = State::BeforeAttributeValue;
            else if (c == u'>')
                endTag(out);
            else if (!isSpace(c))
                state = State::AttributeName;
            break;
        case State::BeforeAttributeValue:
            if (c == u'"') {
                state = State::AttributeValueDoubleQuoted;
                ++i;
            } else if (c == u'\'') {
                state = State::AttributeValueSingleQuoted;
                ++i;
            } else if (isSpace(c)) {
                ++i;
            } else if (c == u'>') {
                ++i;
                endTag(out);
            } else {
                state = State::AttributeValueUnquoted;
            }
            break;
        case State::AttributeValueDoubleQuoted:
        case State::AttributeValueSingleQuoted: {
            char16_t quote = state == State::AttributeValueDoubleQuoted ? u'"' : u'\'';
            while (i < n && p[i] != quote)
                ++i;
            if (i < n) {
                state = State::BeforeAttributeName;  // as after a quoted value
                ++i;
            }
            break;
        }
        case State::AttributeValueUnquoted:
            ++i;
            if (isSpace(c))
                state = State::BeforeAttributeName;
            else if (c == u'>')
                endTag(out);
            break;
        case State::MarkupDeclarationOpen:
            // A doctype and CDATA outside foreign content end at ">", as bogus comments do.
            state = c == u'-' ? State::MarkupDeclarationOpenDash : State::BogusComment;
            i += c == u'-';
            break;
        case State::MarkupDeclarationOpenDash:
            state = c == u'-' ? State::CommentStart : State::BogusComment;
            i += c == u'-';
            break;
        case State::CommentStart:
        case State::CommentStartDash:
            if (c == u'>') {
                state = State::Data;  // <!--> and <!---> are whole comments
                ++i;
            } else if (c == u'-') {
                state = state == State::CommentStart ? State::CommentStartDash : State::CommentEnd;
                ++i;
            } else {
                state = State::Comment;
            }
            break;
        case State::Comment:
            while (i < n && p[i] != u'-')
                ++i;
            if (i < n) {
                state = State::CommentEndDash;
                ++i;
            }
            break;
        case State::CommentEndDash:
            state = c == u'-' ? State::CommentEnd : State::Comment;
            i += c == u'-';
            break;
        case State::CommentEnd:
        case State::CommentEndBang:
            if (c == u'>') {
                state = State::Data;
                ++i;
            } else if (c == u'!' && state == State::CommentEnd) {
                state = State::CommentEndBang;
                ++i;
            } else if (c == u'-') {
                state = state == State::CommentEnd ? State::CommentEnd : State::CommentEndDash;
                ++i;
            } else {
                state = State::Comment;
            }
            break;
        case State::BogusComment:
            while (i < n && p[i] != u'>')
                ++i;
            if (i < n) {
                state = State::Data;
                ++i;
            }
            break;
        case State::RawTextLessThanSign:
            if (c == u'/') {
                state = State::RawTextEndTagOpen;
                ++i;
            } else {
                if (rawShown)
                    text.put(u'<', out);
                state = returnState;
            }
            break;
        case State::RawTextEndTagOpen:
            rawMatched = 0;
            if (isLetter(c)) {
                state = State::RawTextEndTagName;
            } else {
                putText("</", 2, out);
                state = returnState;
            }
            break;
        case State::RawTextEndTagName:
            if (rawMatched < rawNameLength && lower(c) == rawName[rawMatched]) {
                rawTyped[rawMatched++] = static_cast<char>(c);
                ++i;
            } else if (rawMatched == rawNameLength && (isSpace(c) || c == u'/' || c == u'>')) {
                // The end tag of the element: an ordinary end tag from here on.
                std::memcpy(tagName, rawName, rawNameLength);
                tagLength = rawNameLength;
                tagTooLong = false;
                closing = true;
                state = State::TagName;
            } else {
                putText("</", 2, out);
                putText(rawTyped, rawMatched, out);
                state = returnState;
            }
            break;
        case State::CharacterReference: {
            CharacterReferences::Step step = reference.take(c, text, out);
            if (step != CharacterReferences::Step::More)
                state = returnState;
            i += step != CharacterReferences::Step::Left;
            break;
        }
        }
    }
}

void WebPageReader::endTag(std::u16string& out)
{
    state = State::Data;
    ElementKind kind = tagTooLong ? ElementKind::Inline : elementKind(tagName, tagLength);
    if (closing) {
        text.close(kind, out);
        return;
    }
    text.open(kind, out);
    switch (kind) {
    case ElementKind::Title:
    case ElementKind::TextArea:
        startRawText(State::RcData, true);
        break;
    case ElementKind::Hidden:
        startRawText(State::RawText, false);
        break;
    case ElementKind::Example:
        startRawText(State::RawText, true);
        break;
    case ElementKind::PlainText:
        state = State::PlainText;
        break;
    default:
        break;
    }
}

void WebPageReader::startRawText(State rawState, bool shown)
{
    state = rawState;
    rawShown = shown;
    std::memcpy(rawName, tagName, tagLength);
    rawNameLength = tagLength;
}

void WebPageReader::putText(const char* written, std::size_t length, std::u16string& out)
{
    if (state == State::RawTextEndTagOpen || state == State::RawTextEndTagName) {
        if (!rawShown)
            return;
    }
    for (std::size_t k = 0; k < length; ++k)
        text.put(static_cast<unsigned char>(written[k]), out);
}

void WebPageReader::flush(std::u16string& out)
{
    switch (state) {
    case State::CharacterReference:
        reference.finish(text, out);
        break;
    case State::TagOpen:
        text.put(u'<', out);
        break;
    case State::EndTagOpen:
        putText("</", 2, out);
        break;
    case State::RawTextLessThanSign:
        if (rawShown)
            text.put(u'<', out);
        break;
    case State::RawTextEndTagOpen:
    case State::RawTextEndTagName:
        putText("</", 2, out);
        putText(rawTyped, rawMatched, out);
        break;
    default:
        break;
    }
    state = State::Data;
}
