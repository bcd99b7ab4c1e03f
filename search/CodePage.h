// Characters into the system's ANSI code page, the text every other part of the program
// works in. Declared free of <windows.h>: the program's definition asks Windows, the native
// sanitizer build links a stand-in (tests/fuzz).
#pragma once
#include <cstddef>

// Converts count UTF-16 code units (whole characters: no surrogate is cut off from its pair)
// into out, which holds cap bytes, and returns the bytes written. A character the code page
// cannot hold becomes "?", never a look-alike: "\u0100" must not become an "A" that a search
// for "a" matches. Writes nothing and returns 0 when out is too small; four bytes for each
// unit are always enough.
std::size_t unitsToAnsi(const char16_t* units, std::size_t count, char* out, std::size_t cap);
