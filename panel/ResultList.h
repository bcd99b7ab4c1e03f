// The panel's sorted list of matching files, with the number of results and the file whose
// matches are shown. Every operation does nothing while the panel does not exist, and one
// called from the search thread is carried out by the window's thread while the caller waits.
#pragma once
#include <cstddef>

#include "search/ResultSink.h"

const std::size_t SELECTED_FILE_CAPACITY = 1024;

class ResultList final : public ResultSink {
public:
    // Empties the list; the count goes back to 0 and selectedFile keeps its text.
    void clear();

    // Adds a matching path in sorted place; the first path since clear becomes selectedFile.
    void add(const char* path) override;

    // Selects and renders the first entry, or shows "No files found" and a grey
    // "No file selected" when nothing was added.
    void finish();

    // Number of add calls since the last clear; 0 also while "No files found" is listed.
    int resultCount = 0;
    // The path the match view shows and "Launch Browser" opens.
    char selectedFile[SELECTED_FILE_CAPACITY] = "";
};

extern ResultList resultList;
