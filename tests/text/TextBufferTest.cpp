// The cases marked Guarded hand the code texts that end exactly at their terminator and
// destinations that end exactly at their capacity (support/GuardedBlock.h): in the sanitizer
// build (fuzz) one byte read or written too far fails them even when the result looks
// right. This file needs no <windows.h>, so it runs there as well as under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "text/TextBuffer.h"
#include "support/GuardedBlock.h"

namespace {

enum class Copy { Text, Slice, Append, Join };

struct CopyCase {
    Copy copy;
    std::size_t cap;
    const char* first;     // copyText/copySlice: the source; appendString: what dst holds; joinPath: dir
    const char* second;    // appendString: what is appended; joinPath: the name
    std::size_t count;     // copySlice only
    const char* expected;  // nullptr: refused
};

TEST(GuardedCopies, EveryCopyStopsAtTheLastByteOfItsCapacity)
{
    const CopyCase cases[] = {
        {Copy::Text, 0, "", nullptr, 0, nullptr},
        {Copy::Text, 1, "", nullptr, 0, ""},
        {Copy::Text, 4, "abc", nullptr, 0, "abc"},
        {Copy::Text, 3, "abc", nullptr, 0, nullptr},
        {Copy::Slice, 0, "abc", nullptr, 0, nullptr},
        {Copy::Slice, 1, "abc", nullptr, 0, ""},
        {Copy::Slice, 3, "abcdef", nullptr, 3, nullptr},
        {Copy::Slice, 4, "abcdef", nullptr, 3, "abc"},
        {Copy::Slice, 3, "ab", nullptr, 1000, "ab"},  // the source's terminator ends it first
        {Copy::Append, 4, "ab", "c", 0, "abc"},
        {Copy::Append, 4, "ab", "cd", 0, nullptr},
        {Copy::Append, 3, "abc", "", 0, nullptr},  // dst has no terminator within its capacity
        {Copy::Join, 5, "D:", "x", 0, "D:\\x"},
        {Copy::Join, 4, "D:", "x", 0, nullptr},
        {Copy::Join, 5, "D:\\", "x", 0, "D:\\x"},  // no second separator
        {Copy::Join, 4, "D:\\", "x", 0, nullptr},
        {Copy::Join, 2, "", "x", 0, nullptr},
        {Copy::Join, 3, "", "x", 0, "\\x"},
    };
    for (const CopyCase& c : cases) {
        SCOPED_TRACE("cap " + std::to_string(c.cap) + ", '" + c.first + "'" +
                     (c.second != nullptr ? std::string(" + '") + c.second + "'" : std::string()));
        GuardedBlock destination(c.cap, '#');
        GuardedText first(c.first);
        GuardedText second(c.second != nullptr ? c.second : "");
        bool fitted = false;
        switch (c.copy) {
        case Copy::Text:
            fitted = copyText(destination.data(), c.cap, first.get());
            break;
        case Copy::Slice:
            fitted = copySlice(destination.data(), c.cap, first.get(), c.count);
            break;
        case Copy::Append:
            std::memcpy(destination.data(), c.first, std::min(c.cap, std::strlen(c.first) + 1));
            fitted = appendString(destination.data(), c.cap, second.get());
            break;
        case Copy::Join:
            fitted = joinPath(destination.data(), c.cap, first.get(), second.get());
            break;
        }
        EXPECT_EQ(c.expected != nullptr, fitted);
        if (fitted && c.expected != nullptr) {
            EXPECT_EQ(std::string(c.expected), std::string(destination.data()));
        }
    }
}

}  // namespace
