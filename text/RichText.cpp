#include "text/RichText.h"

#include "text/AsciiCase.h"
#include "text/UnitKernels.h"

namespace {

int hexValue(unsigned char c)
{
    if (isAsciiDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Whether c is a byte of text that stands for itself: printable ASCII but the three bytes of
// markup.
bool isPlainAscii(unsigned char c)
{
    return c >= 0x20 && c < 0x7F && c != '\\' && c != '{' && c != '}';
}

}  // namespace

RichTextReader::RichTextReader(const CodePage& pages) : pages_(pages)
{
    reset();
}

void RichTextReader::reset()
{
    state_ = State::Text;
    group_ = Group{-1, 1, false, Destination::Text, false, false, false};
    depth_ = 0;
    wordLength_ = 0;
    wordTooLong_ = false;
    negative_ = false;
    digits_ = 0;
    param_ = 0;
    hexHigh_ = 0;
    binaryLeft_ = 0;
    fallbackLeft_ = 0;
    fonts_.reset();
    tableFont_ = -1;
    lead_ = 0;
    leadHeld_ = false;
    lines_.reset();
}

void RichTextReader::take(const char* bytes, std::size_t count, std::u16string& out)
{
    std::size_t i = 0;
    while (i < count) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        switch (state_) {
        case State::Text:
            if (isPlainAscii(c) && fallbackLeft_ == 0 && !leadHeld_ && !group_.held) {
                if (!shown()) {
                    while (i < count && bytes[i] != '\\' && bytes[i] != '{' && bytes[i] != '}')
                        ++i;
                    break;
                }
                std::size_t run = plainRichTextRun(bytes + i, count - i);
                lines_.wrote(run > 0);
                while (run > 0) {
                    char16_t wide[256];
                    std::size_t piece = run < sizeof wide / sizeof wide[0] ? run : sizeof wide / sizeof wide[0];
                    widenAscii(bytes + i, piece, wide);
                    out.append(wide, piece);
                    i += piece;
                    run -= piece;
                }
                break;
            }
            ++i;
            if (c == '\\')
                state_ = State::Backslash;
            else if (c == '{')
                openGroup(out);
            else if (c == '}')
                closeGroup(out);
            else if (c != '\r' && c != '\n')
                textByte(c, out);
            break;
        case State::Backslash:
            if (isAsciiLetter(c)) {
                state_ = State::Word;
                wordLength_ = 0;
                wordTooLong_ = false;
                negative_ = false;
                digits_ = 0;
                param_ = 0;
            } else {
                ++i;
                state_ = c == '\'' ? State::HexHigh : State::Text;
                if (c != '\'')
                    symbol(c, out);
            }
            break;
        case State::Word:
            for (; i < count && isAsciiLetter(static_cast<unsigned char>(bytes[i])); ++i) {
                if (wordLength_ < MAX_WORD_LETTERS)
                    word_[wordLength_++] = bytes[i];
                else
                    wordTooLong_ = true;
            }
            if (i == count)
                break;
            c = static_cast<unsigned char>(bytes[i]);
            if (isAsciiDigit(c) || c == '-') {
                state_ = State::Param;
                negative_ = c == '-';
                i += negative_ ? 1 : 0;
            } else {
                i += c == ' ' ? 1 : 0;
                endWord(out);
            }
            break;
        case State::Param:
            for (; i < count && isAsciiDigit(static_cast<unsigned char>(bytes[i])); ++i) {
                if (digits_ < MAX_PARAM_DIGITS) {
                    param_ = param_ * 10 + (bytes[i] - '0');
                    ++digits_;
                }
            }
            if (i < count) {
                i += bytes[i] == ' ' ? 1 : 0;
                endWord(out);
            }
            break;
        case State::HexHigh:
            state_ = hexValue(c) < 0 ? State::Text : State::HexLow;
            if (state_ == State::HexLow) {
                hexHigh_ = static_cast<unsigned>(hexValue(c));
                ++i;
            }
            break;
        case State::HexLow:
            state_ = State::Text;
            if (hexValue(c) >= 0) {
                ++i;
                textByte(static_cast<unsigned char>(hexHigh_ << 4 | static_cast<unsigned>(hexValue(c))), out);
            }
            break;
        case State::Binary: {
            std::size_t skip = count - i < binaryLeft_ ? count - i : static_cast<std::size_t>(binaryLeft_);
            i += skip;
            binaryLeft_ -= skip;
            if (binaryLeft_ == 0)
                state_ = State::Text;
            break;
        }
        }
    }
}

void RichTextReader::finish(std::u16string& out)
{
    if (state_ == State::Word || state_ == State::Param)
        endWord(out);
    dropLead(out);
    lines_.finish(out);
    reset();
}

void RichTextReader::emit(char16_t unit, std::u16string& out)
{
    if (shown() && (unit >= 0x20 || unit == u'\t' || unit == u'\n'))
        lines_.put(unit, group_.held, out);
}

// A line end: always (a paragraph's end, even of an empty one), or only when the line has
// text (a page or section break, which writers put after the paragraph's end). Hidden text
// hides its paragraph marks too, but the line is still ended so its neighbours never join.
void RichTextReader::endLine(bool always, std::u16string& out)
{
    if (group_.destination != Destination::Text)
        return;
    if (lines_.lineOpen(group_.held) || (always && !group_.hidden))
        lines_.put(u'\n', group_.held, out);
}

// A byte of text in the current font's code page, plain or from \'hh, past any fallback.
void RichTextReader::textByte(unsigned char byte, std::u16string& out)
{
    if (fallbackLeft_ > 0) {
        --fallbackLeft_;
        return;
    }
    if (!shown())
        return;
    char pair[2] = {lead_, static_cast<char>(byte)};
    unsigned page = fonts_.pageOf(group_.font);
    if (leadHeld_) {
        leadHeld_ = false;
        convert(pair, 2, out);
    } else if (byte < 0x80) {
        emit(byte, out);
    } else if (pages_.isLeadByte(page, byte)) {
        lead_ = static_cast<char>(byte);
        leadHeld_ = true;
    } else {
        convert(pair + 1, 1, out);
    }
}

void RichTextReader::convert(const char* bytes, std::size_t count, std::u16string& out)
{
    char16_t units[4];
    std::size_t got = pages_.toUnits(fonts_.pageOf(group_.font), bytes, count, units, sizeof units / sizeof units[0]);
    if (got == 0)
        emit(u'?', out);
    for (std::size_t k = 0; k < got; ++k)
        emit(units[k], out);
}

// A lead byte that nothing follows is a character the code page cannot give.
void RichTextReader::dropLead(std::u16string& out)
{
    if (!leadHeld_)
        return;
    leadHeld_ = false;
    emit(u'?', out);
}

void RichTextReader::openGroup(std::u16string& out)
{
    dropLead(out);
    fallbackLeft_ = 0;
    if (depth_ < MAX_KEPT_GROUPS)
        kept_[depth_] = group_;
    ++depth_;
    group_.aside = false;
    group_.optional = false;
}

void RichTextReader::closeGroup(std::u16string& out)
{
    dropLead(out);
    fallbackLeft_ = 0;
    if (depth_ == 0)
        return;
    if (group_.aside)
        endLine(false, out);
    --depth_;
    if (depth_ < MAX_KEPT_GROUPS)
        group_ = kept_[depth_];
}

void RichTextReader::symbol(unsigned char byte, std::u16string& out)
{
    if (byte == '*') {
        group_.optional = true;
        return;
    }
    dropLead(out);
    if (fallbackLeft_ > 0) {
        --fallbackLeft_;
        return;
    }
    switch (byte) {
    case '\\':
    case '{':
    case '}':
        emit(byte, out);
        break;
    case '~':
        emit(u' ', out);
        break;
    case '_':
        emit(u'-', out);
        break;
    case '\r':
    case '\n':
        endLine(true, out);
        break;
    default:
        break;
    }
}

void RichTextReader::endWord(std::u16string& out)
{
    state_ = State::Text;
    dropLead(out);
    bool optional = group_.optional;
    group_.optional = false;
    bool hasParam = digits_ > 0;
    long long param = negative_ ? -param_ : param_;
    const RichTextWord* word = wordTooLong_ ? nullptr : findRichTextWord(word_, wordLength_);
    if (word != nullptr && word->action == RichTextAction::Binary) {
        binaryLeft_ = hasParam && param > 0 ? static_cast<unsigned long long>(param) : 0;
        state_ = binaryLeft_ > 0 ? State::Binary : State::Text;
    }
    if (fallbackLeft_ > 0) {
        --fallbackLeft_;
        return;
    }
    bool destination =
        word != nullptr && word->action >= RichTextAction::SkipGroup && word->action <= RichTextAction::UnicodeGroup;
    if (optional && !destination) {
        group_.destination = Destination::Skip;
        return;
    }
    if (word != nullptr)
        doWord(*word, hasParam, param, out);
}

void RichTextReader::doWord(const RichTextWord& word, bool hasParam, long long param, std::u16string& out)
{
    bool inFontTable = group_.destination == Destination::FontTable;
    switch (word.action) {
    case RichTextAction::Character:
        emit(word.value, out);
        break;
    case RichTextAction::LineEnd:
    case RichTextAction::BreakLine:
        endLine(word.action == RichTextAction::LineEnd, out);
        break;
    case RichTextAction::Unicode:
        if (!hasParam)
            break;
        // A negative N is N + 65536, which the conversion to 16 bits gives.
        emit(param >= -32768 && param <= 65535 ? static_cast<char16_t>(param) : u'?', out);
        fallbackLeft_ = group_.fallbackBytes;
        break;
    case RichTextAction::FallbackBytes:
        group_.fallbackBytes = static_cast<unsigned char>(param < 0 ? 0 : param > 255 ? 255 : param);
        break;
    case RichTextAction::Hidden:
        group_.hidden = !hasParam || param != 0;
        break;
    case RichTextAction::Plain:
        group_.hidden = false;
        group_.font = -1;
        break;
    case RichTextAction::Font:
        if (inFontTable)
            tableFont_ = static_cast<int>(param);
        else
            group_.font = static_cast<int>(param);
        break;
    case RichTextAction::DefaultFont:
        fonts_.setDefaultFont(static_cast<int>(param));
        break;
    case RichTextAction::FontCharset:
    case RichTextAction::FontCodePage:
        if (inFontTable && hasParam && word.action == RichTextAction::FontCharset)
            fonts_.setCharset(tableFont_, param);
        else if (inFontTable && hasParam)
            fonts_.setCodePage(tableFont_, static_cast<unsigned>(param));
        break;
    case RichTextAction::DocumentCodePage:
        if (word.value != 0 || (hasParam && param > 0 && param <= 65535))
            fonts_.setDocumentPage(word.value != 0 ? word.value : static_cast<unsigned>(param));
        break;
    default:
        beginDestination(word.action);
        break;
    }
}

// A destination word changes what its group is only in shown text: inside a group left out,
// everything stays left out (but \ud takes back the group its \upr left out).
void RichTextReader::beginDestination(RichTextAction action)
{
    Destination& destination = group_.destination;
    if (action == RichTextAction::UnicodeGroup) {
        if (destination == Destination::AnsiAlternative)
            destination = Destination::Text;
        return;
    }
    if (destination != Destination::Text)
        return;
    switch (action) {
    case RichTextAction::SkipGroup:
        destination = Destination::Skip;
        break;
    case RichTextAction::FontTable:
        destination = Destination::FontTable;
        break;
    case RichTextAction::AnsiAlternative:
        destination = Destination::AnsiAlternative;
        break;
    case RichTextAction::AsideGroup:
        group_.aside = true;
        group_.held = group_.held || lines_.lineOpen(false);
        break;
    default:
        break;
    }
}
