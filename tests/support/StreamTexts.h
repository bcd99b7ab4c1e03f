// Texts for the tests of the lines and the count: the lines of a text, and generated texts
// that give every part of a scan something to do.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// The lines of text, each ending after its line feed, the last where the text ends.
std::vector<std::string> referenceLines(const std::string& text);

// text with every carriage return that comes before a line feed left out: the line ends a
// view reads.
std::string joinedLineEnds(const std::string& text);

// A word of length lower-case letters.
std::string longWord(std::size_t length);

// Text that gives every part of a scan something to do: query words in every letter case
// and inside longer words, 1252's letters among them, separators of every kind (zeros,
// carriage returns, bytes from 0x80 up), lines around 1023 bytes and longer than a view
// shows, and words longer than any query word and than a block. The same seed gives the
// same text.
std::string generatedText(unsigned seed, std::size_t size);

// Files whose carriage returns and Ctrl+Z fall where a reader could take them for line ends
// or the end of the text, including across the edges of blocks.
std::vector<std::string> textModeFiles();
