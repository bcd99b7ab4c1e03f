// Copies into fixed buffers that always know their capacity.
#pragma once
#include <cstddef>

// Copies src into dst when it fits with its terminator (strlen(src) < cap) and returns true.
// Otherwise returns false and leaves dst as it was.
bool copyText(char* dst, std::size_t cap, const char* src);

// Copies at most count bytes of src, stopping early at a zero, and terminates dst. Returns
// false, leaving dst as it was, when those bytes and the terminator do not fit in cap.
bool copySlice(char* dst, std::size_t cap, const char* src, std::size_t count);

// Appends src to the zero-terminated text in dst when the whole result fits; returns
// false and leaves dst as it was otherwise.
bool appendString(char* dst, std::size_t cap, const char* src);

// Writes dir, then "\" unless dir already ends with one, then name. Returns false, leaving
// dst as it was, when the joined path does not fit in cap.
bool joinPath(char* dst, std::size_t cap, const char* dir, const char* name);

// Length of text, looking at no more than max bytes (max when no terminator comes first).
std::size_t boundedLength(const char* text, std::size_t max);
