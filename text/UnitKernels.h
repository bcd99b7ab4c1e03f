// The loops every character of a decoded file goes through, in vector code where the
// processor has SSE2 (every x86-64 processor does), one unit at a time elsewhere;
// narrowLittleEndianAscii also in AVX2, where the processor has it and text/ProcessorFeatures.h
// allows it.
#pragma once
#include <cstddef>

// Whether every one of count units is ASCII (below 0x80).
bool unitsAreAscii(const char16_t* units, std::size_t count);

// How many of the count units at units come before the first that is "<", "&", white space or
// a control character (up to U+0020); a single space between two units that are none of these
// belongs to the run. The run of a page's flowing text that goes out as it is. units[0] is not
// a space.
std::size_t plainTextRun(const char16_t* units, std::size_t count);

// How many of the count bytes at bytes come before the first that is not printable ASCII
// (0x20 to 0x7E) or is a backslash, "{" or "}": the run of rich text that is text as it stands.
std::size_t plainRichTextRun(const char* bytes, std::size_t count);

// The index, from from on, of the first of the count bytes at bytes that is neither printable
// ASCII (0x20 to 0x7E) nor a tab, line feed or carriage return, or that is lead with one of
// the three bytes of after right after it: where the ASCII of a markup file may stop being
// its text's own. count when there is none.
std::size_t asciiStop(const char* bytes, std::size_t from, std::size_t count, char lead, const char (&after)[3]);
// Whether asciiStop stops at bytes[k], of count.
bool isAsciiStop(const unsigned char* bytes, std::size_t k, std::size_t count, char lead, const char (&after)[3]);

// Writes count ASCII units as count bytes into out, which holds count bytes.
void narrowAscii(const char16_t* units, std::size_t count, char* out);

// Whether every one of the count units of UTF-16 LE at bytes (2 count bytes) is ASCII.
bool littleEndianAreAscii(const unsigned char* bytes, std::size_t count);

// Writes count ASCII bytes as count units into out, which holds count units.
void widenAscii(const char* bytes, std::size_t count, char16_t* out);

// Writes the count units of UTF-16 LE at bytes (2 count bytes) into out.
void unitsFromLittleEndian(const unsigned char* bytes, std::size_t count, char16_t* out);

// Writes the ASCII units of UTF-16 LE at bytes, of count, into out, which holds count bytes,
// each as it is, up to the first unit that is not ASCII; returns how many it wrote.
std::size_t narrowLittleEndianAscii(const unsigned char* bytes, std::size_t count, char* out);

// Writes the ASCII units of UTF-16 LE at bytes, of count, into out, which holds count bytes,
// up to the first that is not ASCII (or a little before it), leaving out every carriage
// return before a line feed among them. Sets *taken to the units it took and returns the
// bytes written. A carriage return at the end of what it took is kept.
std::size_t narrowAsciiJoining(const unsigned char* bytes, std::size_t count, char* out, std::size_t* taken);

// Leaves out of text[0, length), in place, every carriage return that comes before a line
// feed, and returns the length left. A carriage return at the end is kept.
std::size_t joinLineEnds(char* text, std::size_t length);
