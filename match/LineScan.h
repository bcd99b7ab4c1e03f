// The matching of one line, apart from any file: counts the line's matching words and,
// given a view, renders the line as coloured runs. Free of <windows.h>, so the sanitizer
// and fuzz builds exercise exactly the code the program runs.
#pragma once
#include <cstddef>

class QueryWords;
class ViewSink;

// Scratch space for one line: the folded copy and the slice handed to the view. Both
// buffers hold LINE_SCAN_CAPACITY bytes.
const std::size_t LINE_SCAN_CAPACITY = 1024;

struct LineScratch {
    char* folded;
    char* piece;
};

// Counts the words of line (text up to its first zero byte) that match a word of query,
// reading caseSensitive once and wholeWordsOnly for every word from searchOptions. words is
// the query already cut into words, or nullptr to compare against query word by word.
// With a view, a line with a match is appended as: "<lineNumber>) " in blue, then the line's
// text with each matching word in red and the rest in the automatic colour.
int scanLine(const char* line, int lineNumber, const char* query, const QueryWords* words, ViewSink* view,
             LineScratch scratch);
