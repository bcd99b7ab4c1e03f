// The conversions between code pages that the readers of text need. The program hands the readers the system's
// conversions (platform/SystemCodePage.h), the native sanitizer build a stand-in.
#pragma once
#include <cstddef>

class CodePage {
public:
    // The program's own ANSI code page, as a page number for toUnits.
    static const unsigned ANSI = 0;

    // Converts count UTF-16 code units (whole characters: no surrogate is cut off from its
    // pair) into the program's ANSI code page in out, which holds cap bytes, and returns the
    // bytes written. A character the code page cannot hold becomes "?", never a look-alike:
    // "\u0100" must not become an "A" that a search for "a" matches. Writes nothing and
    // returns 0 when out is too small; four bytes for each unit are always enough.
    virtual std::size_t toAnsi(const char16_t* units, std::size_t count, char* out, std::size_t cap) const = 0;

    // Converts count bytes of text in the Windows code page page (ANSI for the program's own)
    // into UTF-16 code units in out, which holds cap units, and returns the units written.
    // The bytes end on a whole character (see isLeadByte). Returns 0 when the page is not one
    // the system knows or out is too small; one unit for each byte is always enough.
    virtual std::size_t toUnits(unsigned page, const char* bytes, std::size_t count, char16_t* out,
                                std::size_t cap) const = 0;

    // Whether byte starts a character of two bytes in page (the East Asian pages have them).
    virtual bool isLeadByte(unsigned page, unsigned char byte) const = 0;
    // Whether the program's ANSI code page has characters of two bytes.
    virtual bool ansiHasLeadBytes() const = 0;

    // Whether the system can convert text in page.
    virtual bool knows(unsigned page) const = 0;

protected:
    ~CodePage() = default;
};
