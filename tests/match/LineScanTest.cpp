// The cases marked Guarded hand the code texts that end exactly at their terminator and
// destinations that end exactly at their capacity (support/GuardedBlock.h): in the sanitizer
// build (fuzz) one byte read or written too far fails them even when the result looks
// right. This file needs no <windows.h>, so it runs there as well as under Wine.
#include <gtest/gtest.h>

#include <string>

#include "match/LineScan.h"
#include "search/SearchState.h"
#include "match/WordRules.h"
#include "support/GuardedBlock.h"
#include "support/Recorders.h"

namespace {

// A full read of 1023 bytes: the last word ends at the last byte before the terminator, in a
// line block and scratch buffers that have no byte to spare.
TEST(GuardedLineScan, AFullReadEndingInAMatchStaysInsideItsBuffers)
{
    const std::string line = std::string(1018, '.') + "Tail1";
    ASSERT_EQ(LINE_SCAN_CAPACITY - 1, line.size());
    GuardedText guardedLine(line);
    GuardedBlock folded(LINE_SCAN_CAPACITY, '#');
    GuardedBlock piece(LINE_SCAN_CAPACITY, '#');
    LineScratch scratch{folded.data(), piece.data()};

    for (int caseSensitive = 0; caseSensitive <= 1; ++caseSensitive) {
        searchOptions.caseSensitive.store(caseSensitive);
        searchOptions.wholeWordsOnly.store(1);
        GuardedText query(caseSensitive ? "Tail1" : "tail1");
        QueryWords words;
        ASSERT_TRUE(words.parse(query.get()));
        const QueryWords* ways[] = {nullptr, &words};
        for (const QueryWords* cut : ways) {
            RecordingView view;
            EXPECT_EQ(1, scanLine(guardedLine.get(), 9, query.get(), cut, &view, scratch));
            ASSERT_EQ(4u, view.runs.size());
            EXPECT_EQ("9) ", view.runs[0].text);
            EXPECT_EQ(line.substr(0, 1018), view.runs[1].text);
            EXPECT_EQ("Tail1", view.runs[2].text);
            EXPECT_EQ(0x0000FFul, view.runs[2].colour) << "red";
            EXPECT_EQ("", view.runs[3].text);
        }
    }
    searchOptions.caseSensitive.store(0);
    searchOptions.wholeWordsOnly.store(0);
}

}  // namespace
