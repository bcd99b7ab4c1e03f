#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "search/TextBuffer.h"

namespace {

struct CopyCase {
    std::size_t cap;
    const char* src;
    bool fits;
};

TEST(TextBuffer, CopyTextFitsOnlyWithItsTerminator)
{
    const CopyCase cases[] = {
        {0, "", false}, {1, "", true}, {1, "a", false}, {4, "abc", true}, {4, "abcd", false},
    };
    for (const CopyCase& c : cases) {
        char buffer[8];
        std::memset(buffer, '#', sizeof buffer);
        buffer[7] = '\0';
        bool fitted = copyText(buffer, c.cap, c.src);
        EXPECT_EQ(c.fits, fitted) << "cap " << c.cap << " src '" << c.src << "'";
        if (fitted)
            EXPECT_STREQ(c.src, buffer);
        else
            EXPECT_STREQ("#######", buffer) << "a refused copy leaves the buffer alone";
    }
}

TEST(TextBuffer, JoinPathAddsOneSeparatorAndRefusesWhatDoesNotFit)
{
    struct Case {
        const char* dir;
        const char* name;
        std::size_t cap;
        const char* expected;  // nullptr: refused
    };
    const Case cases[] = {
        {"D:\\", "Docs", 260, "D:\\Docs"},
        {"D:\\Docs", "Old", 260, "D:\\Docs\\Old"},
        {"D:\\Docs", "Old", 12, "D:\\Docs\\Old"},  // exactly 11 characters and the terminator
        {"D:\\Docs", "Old", 11, nullptr},
        {"", "x", 260, "\\x"},
    };
    for (const Case& c : cases) {
        char buffer[260] = "unchanged";
        bool joined = joinPath(buffer, c.cap, c.dir, c.name);
        EXPECT_EQ(c.expected != nullptr, joined) << c.dir << " + " << c.name;
        EXPECT_STREQ(c.expected != nullptr ? c.expected : "unchanged", buffer);
    }
}

TEST(TextBuffer, AppendAndSliceStopAtCapacity)
{
    char buffer[8] = "abc";
    EXPECT_TRUE(appendString(buffer, sizeof buffer, "defg"));
    EXPECT_STREQ("abcdefg", buffer);
    EXPECT_FALSE(appendString(buffer, sizeof buffer, "h"));
    EXPECT_STREQ("abcdefg", buffer);

    char slice[4];
    EXPECT_TRUE(copySlice(slice, sizeof slice, "hello", 3));
    EXPECT_STREQ("hel", slice);
    EXPECT_TRUE(copySlice(slice, sizeof slice, "hi", 3));  // stops at the terminator
    EXPECT_STREQ("hi", slice);
    EXPECT_FALSE(copySlice(slice, sizeof slice, "hello", 4));
    EXPECT_TRUE(copySlice(slice, sizeof slice, "x", 0));
    EXPECT_STREQ("", slice);
}

} // namespace
