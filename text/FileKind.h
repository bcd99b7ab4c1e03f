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
    ASCII,     // no mark, and no byte from 0x80 up so far: decided at the first (kindAtHighByte)
    UTF16_LE,  // a UTF-16 byte-order mark, either way round
    UTF16_BE,
    UTF8,           // a UTF-8 mark, or valid UTF-8 from the first byte beyond ASCII on
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
// read as BYTES. A file without a mark is ASCII, whatever the block holds: the reader finds
// its first byte from 0x80 up and asks kindAtHighByte there.
KindDecision decideKind(Ending ending, const unsigned char* head, std::size_t length);

// The bytes kindAtHighByte looks at: the first byte from 0x80 up and those after it, up to
// this many. However the file is read, in large blocks or small, the decision is the same.
const std::size_t HIGH_BYTE_WINDOW = 64 * 1024;

// Decides a file that is ASCII up to bytes, which start at its first byte from 0x80 up and
// hold the HIGH_BYTE_WINDOW bytes from there, or fewer where the file ends: UTF8 when they are
// valid UTF-8 (a sequence the window cuts off aside), BYTES otherwise. So a UTF-8 file
// whose first accent lies far into it is still read as UTF-8, and an ANSI one as its bytes.
TextKind kindAtHighByte(const unsigned char* bytes, std::size_t length);
