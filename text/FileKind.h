// What a file is read as, decided in one place from its name and its first bytes: the walk's
// count and the view both open files through FileText, which asks here. A new kind of file is
// a row of the endings and a reader of its text.
#pragma once
#include <cstddef>

// The endings of the files the program searches; OTHER_ENDING for any other name.
enum class Ending { HTM, TXT, RTF, DOC, OTHER_ENDING };

// The ending of name: its last four characters, letter case aside (".TXT" is a ".txt" file).
Ending endingOf(const char* name);

// The ending as the result list shows it, in lower case; "" for OTHER_ENDING.
const char* endingText(Ending ending);

// How the bytes of a file become its text.
enum class TextKind {
    BYTES,     // byte for byte
    UTF16_LE,  // a UTF-16 byte-order mark, either way round
    UTF16_BE,
    UTF8,           // a UTF-8 mark, or valid UTF-8 beyond ASCII in the first block
    WORD_DOCUMENT,  // a compound file named as a Word document: the text it shows, if it is one
    RICH_TEXT,      // "{\rtf" at the start of a ".rtf" or ".doc" file: the text a reader sees
    WEB_PAGE,       // an ".htm" file: the text a browser shows, in the page's own encoding
};

struct KindDecision {
    TextKind kind;
    std::size_t markLength;  // bytes of a byte-order mark at the start, which are not text
};

// Decides from the file's ending and its first length bytes, the first block read. A
// WORD_DOCUMENT is only a candidate: a compound file that is no Word document after all is
// read as BYTES.
KindDecision decideKind(Ending ending, const unsigned char* head, std::size_t length);
