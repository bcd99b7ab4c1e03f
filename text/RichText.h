// The text of a rich text (RTF) file as a word processor shows it, read as a stream.
//
// The format: text interleaved with groups, "{" to "}", and control words, "\" then up to 32
// ASCII letters, an optional signed decimal parameter, and an optional space that belongs to
// the word; "\" then any other byte is a control symbol ("\{", "\}", "\\" the literal braces
// and backslash, "\'hh" one byte of text in hexadecimal, "\~" a non-breaking space, "\_" a
// non-breaking hyphen, "\-" an optional hyphen, "\*" the mark of an optional destination,
// "\" then CR or LF the same as \par). CR and LF in the file are never text. A group that
// starts with a destination word (\fonttbl, \pict, \fldinst, ...) holds something other than
// the text; "{\*\word" is a destination a reader that does not know \word leaves out whole.
// Character formatting (the font, \v hidden text, \ucN) lasts until the group ends.
//
// Bytes of text, plain or as \'hh, are in the code page of the current font's \fcharsetN
// (or \cpgN) in the font table, else the document's \ansicpgN (\mac, \pc and \pca name
// others), else 1252. "\uN" is one UTF-16 unit (N + 65536 when N is negative) followed by
// \ucN bytes of fallback for readers without Unicode (1 unless a \uc says otherwise); a
// fallback byte is a plain byte, a \'hh, a control symbol or a control word, and a group's
// start or end cuts it short. "\binN " is followed by N bytes of binary data. In a page of
// two-byte characters, a lead byte (CodePage::isLeadByte) takes the next byte of text with it.
//
// The reader's limits: it keeps the state of the outermost MAX_KEPT_GROUPS nested groups;
// deeper ones are counted, and a formatting change inside them lasts until the nesting comes
// back to that depth. It keeps MAX_WORD_LETTERS letters of a control word (a longer word is
// no word it knows) and MAX_PARAM_DIGITS digits of a parameter, and the code pages of
// RichTextFonts::MAX_FONTS fonts. A \bin count past the end of the file skips the rest of it.
// Broken input has an answer too: a "}" with no group open is ignored, and text outside every
// group is read; a \' without two hex digits and a lead byte without its second byte are
// dropped, the latter as a '?'.
#pragma once
#include <cstddef>
#include <string>

#include "text/CodePage.h"
#include "text/MarkupReader.h"
#include "text/RichTextFonts.h"
#include "text/RichTextLines.h"
#include "text/RichTextWords.h"

// Hands out the text of the body, of headers and footers, of footnotes and of comments
// (those that start inside a line follow it, on lines of their own: RichTextLines.h). Left
// out: the font and colour tables, the style sheet, the list, revision and document
// information tables, pictures, objects' data (their \result is read), binary data, field
// instructions (their \fldrslt is read), list numbers (\listtext), hidden text (\v to \v0 or
// \plain or the group's end) and every optional destination it does not know. Lines end at
// \par, \line, \row and, when a line has text, at \sect, \page and \column; \cell and \tab
// are a tab, \~ a space, \_ a hyphen. A byte of text is what CodePage::toUnits makes of it,
// or '?' when it gives nothing. The text holds no control characters but tab and line end,
// and at most one code unit for each byte read, plus the line ends finish adds to unended
// lines and two for each time the holding of footnotes fills.
class RichTextReader final : public MarkupReader {
public:
    static const std::size_t MAX_KEPT_GROUPS = 256;
    static const std::size_t MAX_WORD_LETTERS = 32;
    static const int MAX_PARAM_DIGITS = 10;

    explicit RichTextReader(const CodePage& pages);

    void take(const char* bytes, std::size_t count, std::u16string& out) override;

    // Ends a control word left open, and the last line; the reader is then ready for another
    // file.
    void finish(std::u16string& out) override;

private:
    enum class State : unsigned char { Text, Backslash, Word, Param, HexHigh, HexLow, Binary };

    // What a group's text is: shown; left out; the font table (left out, but its fonts'
    // code pages are kept); or the ANSI half of a \upr pair, left out for its \ud half.
    enum class Destination : unsigned char { Text, Skip, FontTable, AnsiAlternative };

    struct Group {
        int font;                     // -1: the document's default font
        unsigned char fallbackBytes;  // \ucN
        bool hidden;
        Destination destination;
        bool aside;     // this group began a footnote, header, footer or comment
        bool optional;  // "\*" seen: the next word is an optional destination
        bool held;      // the text is held back to follow the body's line (RichTextLines.h)
    };

    void reset();
    bool shown() const { return group_.destination == Destination::Text && !group_.hidden; }
    void emit(char16_t unit, std::u16string& out);
    void endLine(bool always, std::u16string& out);
    void textByte(unsigned char byte, std::u16string& out);
    void convert(const char* bytes, std::size_t count, std::u16string& out);
    void dropLead(std::u16string& out);
    void openGroup(std::u16string& out);
    void closeGroup(std::u16string& out);
    void symbol(unsigned char byte, std::u16string& out);
    void endWord(std::u16string& out);
    void doWord(const RichTextWord& word, bool hasParam, long long param, std::u16string& out);
    void beginDestination(RichTextAction action);

    const CodePage& pages_;
    State state_;
    Group group_;
    Group kept_[MAX_KEPT_GROUPS];
    std::size_t depth_;

    char word_[MAX_WORD_LETTERS];
    std::size_t wordLength_;
    bool wordTooLong_;
    bool negative_;
    int digits_;
    long long param_;
    unsigned hexHigh_;
    unsigned long long binaryLeft_;
    unsigned fallbackLeft_;

    RichTextFonts fonts_;
    int tableFont_;  // the font the font table describes at the moment

    char lead_;  // the first byte of a two-byte character, while held
    bool leadHeld_;
    RichTextLines lines_;
};
