#include <gtest/gtest.h>
#include "search/TextBuffer.h"
TEST(TextBuffer, Placeholder) { char b[4]; EXPECT_TRUE(copyText(b, 4, "abc")); }
