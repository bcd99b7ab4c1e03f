// The matching of one line, apart from any file: counts the line's matching words and,
// given a view, renders the line as coloured runs. The line comes in pieces of any size, so
// a line of any length is matched in bounded memory: a word across two pieces is one word,
// and of a line longer than the view can hold only its start is kept to be shown.
#pragma once
#include <cstddef>

#include "match/WordRules.h"

class ViewSink;

// The most of a line that is kept to be shown: within what the view lays out as one
// paragraph (panel/FileRender.h).
const std::size_t LINE_SHOWN_LIMIT = 8000;

class LineScan {
public:
    // Sets the query for the lines to come: text up to its first zero byte, already folded when
    // the search ignores case, whose words are at most LONGEST_QUERY_WORD bytes long (the
    // search string's limit). words is the query already cut into words, or nullptr to compare
    // against query word by word. Both must outlive the lines scanned.
    void setQuery(const char* query, const QueryWords* words);

    // Starts a line; caseSensitive is read here, once for the line.
    void beginLine();
    // The line's next bytes: the last piece ends with its line feed, when it has one. The line
    // is looked at only up to its first zero byte.
    void take(const char* bytes, std::size_t length);
    // Ends the line and returns the number of its words that match a word of the query.
    // wholeWordsOnly is read for every word as the word ends.
    int endLine();

    // What render adds to a view for the line just ended: characters and coloured runs.
    std::size_t renderedCharacters(long long lineNumber) const;
    std::size_t renderedRuns() const { return 2 + 2 * shownMatches; }
    // Appends the line just ended: "<lineNumber>) " in blue, then the start of the line that
    // is kept with every matching word in red and the rest in the automatic colour, then its
    // line feed, if it has one.
    void render(long long lineNumber, ViewSink& view);

private:
    void takeWordBytes(const char* bytes, std::size_t length);
    bool heldWordMatches(bool wholeWordsOnly);
    void endWord();
    void appendPiece(ViewSink& view, std::size_t from, std::size_t length, unsigned long colour, bool lineFeed);
    bool lineFeedAdded() const;

    // A word is held folded as it arrives; one longer than this keeps only its last
    // LONGEST_QUERY_WORD bytes, once it has been looked through for a query word.
    static const std::size_t WORD_HELD = 2 * (LONGEST_QUERY_WORD + 1);

    const char* query = "";
    const QueryWords* words = nullptr;
    bool caseSensitive = false;
    int count = 0;

    unsigned long long taken = 0;  // bytes of the line looked at so far
    bool zeroSeen = false;
    bool endsWithFeed = false;
    char shown[LINE_SHOWN_LIMIT];
    bool marked[LINE_SHOWN_LIMIT] = {};  // bytes of matching words among those shown
    std::size_t shownLength = 0;
    std::size_t shownMatches = 0;

    bool inWord = false;
    unsigned long long wordStart = 0;
    unsigned long long wordLength = 0;
    char word[WORD_HELD + 1];
    std::size_t wordHeld = 0;
    bool wordTrimmed = false;         // its start is no longer held
    bool wordHoldsQueryWord = false;  // a query word was found in the part given up

    char piece[LINE_SHOWN_LIMIT + 2];
};
