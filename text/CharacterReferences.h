// Character references of web pages (&eacute; &#233; &#xE9;), read character by character as
// the HTML standard's tokenizer reads them, and put into the text they stand for. Named ones are
// every name a browser knows (text/CharacterReferenceTable.h, generated from the standard's
// list), the legacy ones also without their semicolon, the longest known name winning
// ("&notin;" is one character, "&notit;" a "\u00AC" and "it;"). Numeric ones give U+FFFD for 0,
// surrogates and code points past U+10FFFF, and the characters of windows-1252 for 0x80 to
// 0x9F. One that is not known stays as written.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "text/VisibleText.h"

class CharacterReferences {
public:
    enum class Step : unsigned char {
        More,  // the character was part of the reference; it goes on
        Took,  // the character ended the reference and was part of it (a ";")
        Left,  // the character ended the reference without being part of it: read it again
    };

    // A "&" was read.
    void start() { state = State::CharacterReference; }

    // Takes the character after the ones before; when the reference has ended, puts what it
    // stands for into text.
    Step take(char16_t c, VisibleText& text, std::u16string& out);

    // The file ended inside a reference: puts what it stands for into text.
    void finish(VisibleText& text, std::u16string& out);

private:
    static const std::size_t NAME_CAP = 32;  // the longest name, its semicolon included

    enum class State : unsigned char {
        CharacterReference,
        NamedCharacterReference,
        NumericCharacterReference,
        HexadecimalCharacterReferenceStart,
        HexadecimalCharacterReference,
        DecimalCharacterReference,
    };

    void resolveName(bool semicolon, VisibleText& text, std::u16string& out);
    void resolveNumber(VisibleText& text, std::u16string& out);

    State state = State::CharacterReference;
    char name[NAME_CAP];
    std::size_t nameLength = 0;
    std::uint32_t value = 0;
    char hexMark = 'x';
};
