// The control words of rich text that the reader of it (RichText.h) acts on; every other
// word is read past.
#pragma once
#include <cstddef>

enum class RichTextAction : unsigned char {
    Character,         // the unit in value
    LineEnd,           // ends the line
    BreakLine,         // ends the line if it has text
    SkipGroup,         // a destination left out
    FontTable,         // \fonttbl: left out, but its fonts' code pages kept
    ReadGroup,         // a destination read as text (\fldrslt, \result), also after "\*"
    AsideGroup,        // a footnote, header, footer or comment: read on lines of its own
    AnsiAlternative,   // \upr: its first part is left out for its \ud part
    UnicodeGroup,      // \ud
    Unicode,           // \uN
    FallbackBytes,     // \ucN
    Binary,            // \binN
    Hidden,            // \v, \v0
    Plain,             // \plain: character formatting back to the defaults
    Font,              // \fN
    DefaultFont,       // \deffN
    FontCharset,       // \fcharsetN
    FontCodePage,      // \cpgN
    DocumentCodePage,  // \ansicpgN, or \ansi, \mac, \pc, \pca with their page in value
};

struct RichTextWord {
    const char* name;
    RichTextAction action;
    char16_t value;
};

// The word of the length letters at letters, or null for one the reader does not act on.
const RichTextWord* findRichTextWord(const char* letters, std::size_t length);
