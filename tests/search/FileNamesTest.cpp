#include <gtest/gtest.h>

#include "search/FileNames.h"

namespace {

TEST(FileNames, DeviceNamesInAnyCaseWithOrWithoutExtension)
{
    const struct {
        const char* name;
        bool device;
    } cases[] = {
        {"aux.txt", true},   {"AUX", true},      {"Con.doc", true},       {"prn.htm", true},
        {"nUl.rtf", true},   {"aux .txt", true}, {"nul  .txt.bak", true}, {"COM1.txt", true},
        {"com9", true},      {"LPT1.htm", true}, {"lpt9.txt", true},      {"aux.", true},
        {"com0.txt", false}, {"lpt.txt", false}, {"com10.txt", false},    {"auxiliary.txt", false},
        {"xaux.txt", false}, {".aux", false},    {"con_1.txt", false},    {" aux.txt", false},
        {"nu.txt", false},   {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.device, isReservedDeviceName(c.name)) << '"' << c.name << '"';
}

TEST(FileNames, UsableNamesHoldNoCharacterAPathForbidsAndNoTrailingDotOrBlank)
{
    const struct {
        const wchar_t* name;
        bool usable;
    } cases[] = {
        {L"plain.txt", true}, {L".", true},          {L"..", true},       {L".hidden", true},  {L" lead.txt", true},
        {L"a b.txt", true},   {L"\u0416.txt", true}, {L"a*b.txt", false}, {L"a?b.txt", false}, {L"a\"b.txt", false},
        {L"a<b", false},      {L"a>b", false},       {L"a|b", false},     {L"a\\b", false},    {L"a/b", false},
        {L"a:b", false},      {L"a\tb", false},      {L"\x1f", false},    {L"tdot.", false},   {L"tblank ", false},
        {L"...", false},      {L"dot.txt.", false},  {L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.usable, isUsableName(c.name)) << "row " << (&c - cases);
}

TEST(FileNames, LastComponentFollowsTheLastSeparatorOrTheDrive)
{
    EXPECT_STREQ("aux.txt", lastComponent("D:\\Docs\\aux.txt"));
    EXPECT_STREQ("nul.txt", lastComponent("D:nul.txt"));
    EXPECT_STREQ("x.txt", lastComponent("a/b\\x.txt"));
    EXPECT_STREQ("", lastComponent("D:\\"));
    EXPECT_STREQ("name", lastComponent("name"));
}

}  // namespace
