// The reader of web pages (.htm): the text a browser shows of a page, as the program searches
// it. The page's encoding is decided as text/PageDecoder.h says; its characters then go
// through a tokenizer shaped like the HTML standard's (its states carry the standard's names),
// which finds what each element does in text/PageElements.h and lays the text out through
// text/VisibleText.h:
//
// - Tags, attributes, comments (<!-- -->, and <!...> <?...> as bogus ones), the doctype and
//   the text of <script>, <style> and the other hidden elements (<noscript> too, as a browser
//   running scripts hides it) are not text; of the head only the title is. A script ends at
//   its first end tag: the standard's escapes for "<!--<script>" inside scripts are not kept.
//   A "<" that cannot start a tag (a < b, <3) is text.
// - Character references, named (every name a browser knows, the legacy ones also without a
//   semicolon, text/CharacterReferences.h) and numeric, are read in text, titles and text
//   areas; an unknown one stays as written.
//
// Memory: the characters of a piece of a block, a tag name cut at TAG_NAME_CAP characters and
// a reference's name; nesting is counted, never stacked. Attributes are passed over, never
// kept. Broken markup reads as the standard reads it: a tag, comment or script cut off by the
// end of the file gives nothing more.
#pragma once
#include <cstddef>
#include <string>

#include "text/CharacterReferences.h"
#include "text/CodePage.h"
#include "text/MarkupReader.h"
#include "text/PageDecoder.h"
#include "text/PageElements.h"
#include "text/VisibleText.h"

class WebPageReader final : public MarkupReader {
public:
    explicit WebPageReader(const CodePage& codePage);

    void take(const char* bytes, std::size_t count, std::u16string& out) override;
    void finish(std::u16string& out) override;

private:
    static const std::size_t TAG_NAME_CAP = ELEMENT_NAME_CAP;
    // The bytes decoded at a time.
    static const std::size_t PIECE_BYTES = 4096;

    enum class State : unsigned char {
        Data,
        RcData,
        RawText,
        PlainText,
        TagOpen,
        EndTagOpen,
        TagName,
        BeforeAttributeName,
        AttributeName,
        AfterAttributeName,
        BeforeAttributeValue,
        AttributeValueDoubleQuoted,
        AttributeValueSingleQuoted,
        AttributeValueUnquoted,
        MarkupDeclarationOpen,
        MarkupDeclarationOpenDash,
        CommentStart,
        CommentStartDash,
        Comment,
        CommentEndDash,
        CommentEnd,
        CommentEndBang,
        BogusComment,
        RawTextLessThanSign,
        RawTextEndTagOpen,
        RawTextEndTagName,
        CharacterReference,  // the rest in text/CharacterReferences.h
    };

    // Runs the tokenizer over count characters.
    void read(const char16_t* units, std::size_t count, std::u16string& out);
    // The tag read has ended with ">".
    void endTag(std::u16string& out);
    // Text up to the end tag of the element just opened, shown or not.
    void startRawText(State rawState, bool shown);
    // Puts characters as written; inside raw text only if it is shown.
    void putText(const char* written, std::size_t length, std::u16string& out);
    // What a cut-off reference, "<" or end tag stands for when the file ends inside it.
    void flush(std::u16string& out);

    PageDecoder decoder;
    VisibleText text;
    char16_t units[PageDecoder::roomFor(PIECE_BYTES)];  // the characters of the piece being read
    State state = State::Data;
    State returnState = State::Data;  // where a character reference or raw text's "<" returns

    char tagName[TAG_NAME_CAP];
    std::size_t tagLength = 0;
    bool tagTooLong = false;
    bool closing = false;

    char rawName[TAG_NAME_CAP];
    std::size_t rawNameLength = 0;
    std::size_t rawMatched = 0;
    char rawTyped[TAG_NAME_CAP];  // the end tag's letters as written, given back if it is not one
    bool rawShown = false;

    CharacterReferences reference;
};
