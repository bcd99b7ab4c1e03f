// Reading UTF-8: one sequence at a time, whether a block of bytes is UTF-8 text, and where
// a block's ASCII ends.
#pragma once
#include <cstddef>

// What utf8Sequence returns when the bytes end inside a sequence that is valid so far.
const int NEED_MORE = -1;

// The length of the UTF-8 sequence that starts bytes (2 to 4), with its character in *code;
// 0 when it is not a valid one (a stray continuation byte, an overlong form, a surrogate,
// beyond U+10FFFF), NEED_MORE when available ends inside a sequence that is valid so far.
// ASCII is the caller's.
int utf8Sequence(const unsigned char* bytes, std::size_t available, char32_t* code);

// Whether bytes are valid UTF-8 holding at least one character beyond ASCII. A sequence cut
// off by the end of the block does not count against them.
bool isUtf8Text(const unsigned char* bytes, std::size_t length);

// How many bytes at the start of bytes are ASCII (below 0x80): length when all are.
std::size_t asciiPrefix(const char* bytes, std::size_t length);
