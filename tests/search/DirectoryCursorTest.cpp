#include <gtest/gtest.h>

#include <direct.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "search/DirectoryCursor.h"
#include "support/TempTree.h"

namespace {

std::vector<std::string> allEntries(DirectoryCursor& cursor)
{
    std::vector<std::string> names;
    for (char* name = cursor.nextEntry(); name != nullptr; name = cursor.nextEntry())
        names.push_back(name);
    return names;
}

TEST(DirectoryCursor, PatternFollowsEveryPath)
{
    const struct {
        const char* path;
        const char* pattern;
    } cases[] = {
        {"D:\\", "D:\\*.*"},
        {"D:\\Docs", "D:\\Docs\\*.*"},
        {"D:\\My.Docs", "D:\\My.Docs\\*.*"},
        {"", "\\*.*"},
    };
    for (const auto& c : cases) {
        DirectoryCursor cursor;
        ASSERT_TRUE(cursor.setPath(c.path));
        EXPECT_STREQ(c.path, cursor.path);
        EXPECT_STREQ(c.pattern, cursor.pattern);
    }
}

TEST(DirectoryCursor, NavigateGoesUpToTheRootAndStopsThere)
{
    const struct {
        const char* from;
        const char* entry;
        const char* path;
    } cases[] = {
        {"D:\\A\\B", "..", "D:\\A"},
        {"D:\\A", "..", "D:\\"},
        {"D:\\", "..", "D:\\"},
        {"D:\\Docs\\", "..", "D:\\Docs"},  // a trailing separator is all that goes
        {"D:\\Docs\\Old", "..", "D:\\Docs"},
        {"D:\\A\\B", ".E:", "E:\\"},
        {"D:\\A\\B", ".e:", "e:\\"},  // the letter is taken as it is
        {"D:\\", "Sub", "D:\\Sub"},
        {"D:\\A", "Sub", "D:\\A\\Sub"},
        {"D:\\A", ".cache", "D:\\A\\.cache"},  // a dot folder is a folder, not a drive
        {"D:\\A", ".E", "D:\\A\\.E"},
        {"D:\\A", ".E:x", "D:\\A\\.E:x"},
    };
    for (const auto& c : cases) {
        DirectoryCursor cursor;
        ASSERT_TRUE(cursor.setPath(c.from));
        cursor.pattern[0] = '\0';  // so we see that every navigation rebuilds it
        cursor.navigate(c.entry);
        EXPECT_STREQ(c.path, cursor.path) << c.from << " + " << c.entry;
        EXPECT_EQ(std::string(c.path) + (c.path[std::strlen(c.path) - 1] == '\\' ? "" : "\\") + "*.*", cursor.pattern);
    }
}

TEST(DirectoryCursor, RefusesPathsLongerThan259Characters)
{
    DirectoryCursor cursor;
    std::string fits = "C:\\" + std::string(256, 'a');  // 259 characters
    ASSERT_TRUE(cursor.setPath(fits.c_str()));
    EXPECT_EQ(fits + "\\*.*", cursor.pattern);

    std::string tooLong = fits + "b";
    EXPECT_FALSE(cursor.setPath(tooLong.c_str()));
    EXPECT_EQ(fits, cursor.path);

    // A child that would take the path over the limit leaves it where it was.
    std::string parent = "C:\\" + std::string(250, 'p');
    ASSERT_TRUE(cursor.setPath(parent.c_str()));
    EXPECT_TRUE(cursor.navigate("12345"));  // 250 + 3 + 1 + 5 = 259
    EXPECT_EQ(parent + "\\12345", cursor.path);
    ASSERT_TRUE(cursor.setPath(parent.c_str()));
    EXPECT_FALSE(cursor.navigate("123456"));
    EXPECT_EQ(parent, cursor.path);
    EXPECT_EQ(parent + "\\*.*", cursor.pattern);
}

TEST(DirectoryCursor, OrdinaryDirectoryYieldsDotDotFirstAndEverythingElse)
{
    TempTree tree;
    tree.file("a.txt", "x");
    tree.file("b.htm", "x");
    tree.dir("sub");
    tree.dir("hidden");
    SetFileAttributesA(tree.path("hidden").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

    DirectoryCursor cursor;
    ASSERT_TRUE(cursor.setPath(tree.root().c_str()));
    ASSERT_TRUE(cursor.openEnumeration());
    std::vector<std::string> names = allEntries(cursor);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ("..", names[0]) << "the platform's \".\" is consumed by the open";
    std::multiset<std::string> seen(names.begin(), names.end());
    EXPECT_EQ((std::multiset<std::string>{"..", "a.txt", "b.htm", "hidden", "sub"}), seen);
    EXPECT_EQ(nullptr, cursor.nextEntry()) << "an exhausted enumeration stays exhausted";

    // Opening again starts over; nextDirectory passes over files, not hidden folders.
    ASSERT_TRUE(cursor.openEnumeration());
    std::vector<std::string> directories;
    for (char* name = cursor.nextDirectory(); name != nullptr; name = cursor.nextDirectory())
        directories.push_back(name);
    ASSERT_FALSE(directories.empty());
    EXPECT_EQ("..", directories[0]);
    std::sort(directories.begin(), directories.end());
    EXPECT_EQ((std::vector<std::string>{"..", "hidden", "sub"}), directories);
}

TEST(DirectoryCursor, MissingDirectoryLooksEmpty)
{
    TempTree tree;
    DirectoryCursor cursor;
    ASSERT_TRUE(cursor.setPath(tree.path("no such folder").c_str()));
    EXPECT_FALSE(cursor.openEnumeration());
    EXPECT_EQ(nullptr, cursor.nextEntry());
    EXPECT_EQ(nullptr, cursor.nextDirectory());
}

TEST(DirectoryCursor, DriveRootShowsEveryEntry)
{
    // A drive's root has no "." to consume: its first entry is a real file or folder and
    // must not be lost. T: is a drive of the test prefix's own, so its root can be filled.
    if (GetDriveTypeA("T:\\") == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no test drive T:";
    TempTree root("T:\\");
    root.file("one.txt", "x");
    root.file("two.txt", "x");
    root.dir("three");

    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA("T:\\*.*", &entry);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    EXPECT_STRNE(".", entry.cFileName) << "a drive root has no \".\" entry";
    FindClose(find);

    DirectoryCursor cursor;
    ASSERT_TRUE(cursor.setPath("T:\\"));
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_TRUE(cursor.openEnumeration());
        std::vector<std::string> seen = allEntries(cursor);
        EXPECT_EQ((std::multiset<std::string>{"one.txt", "three", "two.txt"}),
                  std::multiset<std::string>(seen.begin(), seen.end()));
    }
    ASSERT_TRUE(cursor.openEnumeration());
    EXPECT_STREQ("three", cursor.nextDirectory());
    EXPECT_EQ(nullptr, cursor.nextDirectory());
}

TEST(DirectoryCursor, WorkingDirectoryIsTakenAsItIsOrByItsShortName)
{
    char expected[MAX_PATH];
    ASSERT_NE(nullptr, _getcwd(expected, sizeof expected));
    DirectoryCursor cursor;
    ASSERT_TRUE(cursor.setToWorkingDirectory());
    EXPECT_STREQ(expected, cursor.path);

    // A CJK folder of the fixture behind U:, which the code page cannot name.
    const wchar_t* folder = L"U:\\names\\\u65e5\u672c";
    wchar_t shortForm[MAX_PATH];
    if (GetShortPathNameW(folder, shortForm, MAX_PATH) == 0)
        GTEST_SKIP() << "the names are made by tools/make-hostile-tree.sh";
    char shortPath[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, shortForm, -1, shortPath, sizeof shortPath, nullptr, nullptr);
    ASSERT_TRUE(SetCurrentDirectoryW(folder));
    bool taken = cursor.setToWorkingDirectory();
    SetCurrentDirectoryA(expected);
    ASSERT_TRUE(taken);
    EXPECT_STREQ(shortPath, cursor.path);
    EXPECT_EQ(nullptr, std::strchr(cursor.path, '?'));
}

}  // namespace
