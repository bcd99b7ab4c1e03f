// Whether the ASCII words of a markup file's text can be looked for in its bytes, without
// reading it: a search that finds none of its words there knows the text holds none either,
// and most pages of a tree need no decoding.
//
// The letters stand in the bytes (lettersStandInBytes) when every ASCII letter and digit of
// the text a reader makes of the file is a byte of the file, the same letter, and two that
// are next to each other in the text are next to each other in the bytes unless markup
// starts right after the first of the two, with one of the kind's cut bytes (WordCuts). That
// is so when the file is ASCII without control characters (so that it reads the same in
// every code page it may name) and no reference or escape makes a letter or digit: a page's
// "&#...;" and "&fjlig;", rich text's \'hh and \uN; and each \* of rich text comes right
// before its control word (the reader shows what comes between the two, and at that word may
// hide the rest of the group). Any other reference makes a character of its own that is no
// ASCII letter; tags, comments, scripts, groups, control words, \binN and its data only leave
// text out, or set it aside for later (rich text's footnotes, on lines of their own).
//
// A word of the text is then among the bytes, or it is cut: a start of it comes right before
// a cut byte at which the markup does not surely part it from what follows (WordCuts::parts):
//   a web page   "<": a letter or digit before a tag goes on to the next character that shows
//                only through tags that show nothing (<b>, </td>, ...); one that ends a line,
//                starts a cell or shows a "<" parts them; a comment, a tag with a quote in it,
//                or one that hides text or takes what follows as text (<script>, </title>,
//                <template>...) may join them;
//   rich text    "\", "{", "}", CR, LF, tab: CR, LF and tabs are passed over; then a control
//                word that gives a character or ends a line (\par, \tab, \emdash...), a
//                control symbol that shows (\\, \~, \_...) or a byte of text that is not a
//                letter or digit parts them; a group's start or end, or any other control
//                word or symbol, may join them (app{\b le}, app\-le).
// Each answers no whenever it cannot tell: never that the letters stand, or that markup
// parts, when a reader would make words the bytes do not hold.
#pragma once
#include <cstddef>

#include "text/FileKind.h"

// Whether the letters of the text of the file's length bytes, read as kind (WEB_PAGE or
// RICH_TEXT; any other kind is false), stand in its bytes.
bool lettersStandInBytes(TextKind kind, const unsigned char* bytes, std::size_t length);

// The bytes at which the letters of a kind may stop standing, for a look that goes through the
// bytes once for more than this: any byte that is not printable ASCII, a tab, LF or CR, and
// lead followed by one of after, an escape that escapeKeeps judges.
struct LetterStops {
    char lead;
    char after[3];
    // bytes[0] is lead, bytes[1] one of after; left bytes in all. Whether the escape keeps
    // the letters standing.
    bool (*escapeKeeps)(const unsigned char* bytes, std::size_t left);
};

// The stops of kind, WEB_PAGE or RICH_TEXT; for any other, the letters never stand.
LetterStops letterStopsOf(TextKind kind);

// Whether the letters fall at bytes[at]: lettersStandInBytes is false exactly when they fall at
// some byte of the file.
bool lettersFallAt(const LetterStops& stops, const unsigned char* bytes, std::size_t length, std::size_t at);

// lettersStandInBytes for the kind whose stops these are.
bool lettersStandInBytes(const LetterStops& stops, const unsigned char* bytes, std::size_t length);

// The markup of a kind that may come between two letters of a word.
struct WordCuts {
    const char* bytes;  // the bytes it starts with
    std::size_t count;  // of bytes
    // bytes[at], one of the cut bytes, comes right after an ASCII letter or digit of text:
    // whether the markup from there surely parts that letter from the next one that shows.
    bool (*parts)(const unsigned char* bytes, std::size_t length, std::size_t at);
};

// The cuts of kind, WEB_PAGE or RICH_TEXT; for any other, none.
WordCuts wordCutsOf(TextKind kind);
