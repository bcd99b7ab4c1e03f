// Whether the ASCII words of a markup file's text can be looked for in its bytes, without
// reading it: a search that finds none of its words among the bytes then knows the text holds
// none either, and most pages of a tree need no decoding.
//
// It holds when every run of ASCII letters and digits in the text a reader makes of the file
// is also a run of the file's bytes, letter for letter. That is so when the file is ASCII
// without control characters (so that it reads the same in every code page it may name), no
// reference or escape makes a letter or digit (a page's "&#...;" and "&fjlig;", rich text's
// \'hh, \uN and \binN), and no markup joins the letters on either side of it:
//   a web page   a letter or digit before a tag goes on to the next character that shows
//                only through tags that show nothing (<b>, </td>, ...); one that ends a line,
//                starts a cell or shows a "<" parts them; a comment, a tag with a quote in it,
//                or one that hides text or takes what follows as text (<script>, </title>,
//                <template>...) may join them, and so does not hold;
//   rich text    a letter or digit of text goes on only to a control word that gives a
//                character or ends a line; CR, LF and tab are never text, so what follows
//                them goes on; a group's start or end, or any other control word or symbol,
//                may join (app{\b le}, app\-le), and so does not hold. \ansicpg and \cpg may
//                name only pages that keep ASCII as it is.
// It answers false whenever it cannot tell, never true when a reader would make a run the
// bytes do not hold.
#pragma once
#include <cstddef>

#include "text/FileKind.h"

// Whether every run of ASCII letters and digits in the text of the file's length bytes, read
// as kind (WEB_PAGE or RICH_TEXT; any other kind is false), is a run of the bytes.
bool wordsStandInBytes(TextKind kind, const unsigned char* bytes, std::size_t length);
