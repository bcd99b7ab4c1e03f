// The panel's sorted list of matching files, with the number of results and the file whose
// matches are shown. Every operation does nothing while the panel does not exist, and clear
// and finish called from the search thread are carried out by the window's thread while the
// caller waits. Paths the search thread adds are gathered and listed together, every
// RESULT_MILLISECONDS while the search runs and at its finish: one list insertion at a time,
// each handed across threads, costs a round trip between them every time. Each burst also
// costs the list a fixed charge however few paths it brings (its scroll bar and a repaint),
// so bursts come no more often than a user can tell: a tenth of a second.
#pragma once
#include <cstddef>

#include "search/ResultSink.h"

const std::size_t SELECTED_FILE_CAPACITY = 1024;
const unsigned RESULT_MILLISECONDS = 100;

class ResultList final : public ResultSink {
public:
    // Empties the list and drops what was gathered; the count goes back to 0 and
    // selectedFile keeps its text. From here to finish, gathered paths are listed on the
    // panel's RESULT_TIMER.
    void clear();

    // Adds a matching path in sorted place, keeping the path the file was opened by with it;
    // the first file since clear becomes selectedFile. From the search thread the paths are
    // gathered, and the caller waits only when the gathered paths fill their buffer, until
    // the window's thread has listed them.
    void add(const char* path, const char* opened) override;

    // Makes the file of list entry index selectedFile. Returns false, changing nothing, when
    // the entry names no file. Window's thread only.
    bool select(int index);

    // Lists the paths gathered so far. Window's thread only.
    void listGathered();

    // Lists what is gathered, then selects the first entry (which becomes selectedFile), or
    // lists "No files found" when nothing was added. Selecting raises no LBN_SELCHANGE: the
    // caller shows the file.
    void finish();

    // Number of paths listed since the last clear; 0 also while "No files found" is listed.
    int resultCount = 0;
    // The file the match view shows and "Launch Browser" opens, by the path it was opened by.
    char selectedFile[SELECTED_FILE_CAPACITY] = "";

private:
    // Inserts path in its sorted place. Window's thread only.
    void listPath(const char* path, const char* opened);
};

extern ResultList resultList;
