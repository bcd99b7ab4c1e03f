// The characters of a web page's bytes, in the encoding a browser would read them in: a
// byte-order mark's (UTF-8, UTF-16 LE or BE); else the one a <meta> among the first bytes
// declares (text/Charsets.h), when the system knows its code page; else UTF-8 when the first
// bytes are valid UTF-8; else the program's ANSI code page.
//
// It streams. The first PRESCAN_BYTES bytes (or all, for a shorter file) are held until the
// encoding is decided; after that only the bytes of a character cut off by the end of a
// block, at most three. A page taken for UTF-8 only because its first bytes were valid UTF-8
// may still hold text in the ANSI code page further on (a page put together from pieces): each
// byte that is not part of a valid UTF-8 character is then read through the ANSI code page,
// with the byte after it when it starts a character of two there.
// A declared UTF-8 gives U+FFFD for such bytes, as browsers do.
#pragma once
#include <cstddef>

#include "text/Charsets.h"
#include "text/CodePage.h"

class PageDecoder {
public:
    explicit PageDecoder(const CodePage& codePage);

    // The most units take writes for count bytes: the first bytes held until the encoding is
    // decided, count more, and a held character completed. finish writes at most roomFor(0).
    static constexpr std::size_t roomFor(std::size_t count) { return Charsets::PRESCAN_BYTES + count + 4; }

    // Writes to units the characters that the next count bytes complete; returns how many.
    std::size_t take(const char* bytes, std::size_t count, char16_t* units);

    // The file has ended: writes the characters still held, U+FFFD for a cut-off one.
    std::size_t finish(char16_t* units);

private:
    enum class Form : unsigned char { Undecided, Utf8, Utf8OrAnsi, Utf16Le, Utf16Be, CodePage };

    // Decides the encoding from the first bytes (ended: they are the whole file) and decodes them.
    std::size_t decide(bool ended, char16_t* units);
    // Decodes in page (for Utf8OrAnsi, the bytes that are not UTF-8).
    void usePage(unsigned page, Form form);
    // Decodes count bytes after the held ones, and holds a character they cut off, unless ended.
    std::size_t decode(const unsigned char* bytes, std::size_t count, bool ended, char16_t* out);
    // Decodes what it can of count bytes into out (room for count units) and returns the bytes
    // it took: all of them when ended, else all but a character cut off at their end.
    std::size_t decodeSome(const unsigned char* bytes, std::size_t count, bool ended, char16_t* out,
                           std::size_t* written) const;
    std::size_t decodeUtf8(const unsigned char* bytes, std::size_t count, bool ended, char16_t* out,
                           std::size_t* written) const;
    std::size_t decodeUtf16(const unsigned char* bytes, std::size_t count, bool ended, char16_t* out,
                            std::size_t* written) const;
    std::size_t decodePage(const unsigned char* bytes, std::size_t count, bool ended, char16_t* out,
                           std::size_t* written) const;

    const CodePage& codePage;
    Form form = Form::Undecided;
    unsigned page = CodePage::ANSI;
    bool leadBytes[256] = {};
    bool hasLeadBytes = false;
    unsigned char first[Charsets::PRESCAN_BYTES];
    std::size_t firstCount = 0;
    unsigned char held[4];
    std::size_t heldCount = 0;
};
