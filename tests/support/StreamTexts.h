// Texts for the tests of the reads and the count: what a line-at-a-time reader makes of a
// text, and generated texts that give every part of a scan something to do.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// What a line-at-a-time reader gets: reads of at most 1023 bytes, each ending after a line
// feed or where its 1023 bytes run out.
std::vector<std::string> referenceReads(const std::string& text);

// text with every carriage return that comes before a line feed left out: the line ends a
// view reads.
std::string joinedLineEnds(const std::string& text);

// A word of length lower-case letters; a long one is cut by the reads.
std::string longWord(std::size_t length);

// Text that gives every part of a scan something to do: query words in every letter case
// and inside longer words, separators of every kind (zeros, carriage returns, bytes from
// 0x80 up), lines just under, at and over the read limit, and words and lines so long that
// reads cut them. The same seed gives the same text.
std::string generatedText(unsigned seed, std::size_t size);

// Files whose carriage returns and Ctrl+Z fall where a reader could take them for line ends
// or the end of the text, including across the edges of blocks.
std::vector<std::string> textModeFiles();
