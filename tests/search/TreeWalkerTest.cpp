#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "search/SearchState.h"
#include "search/TreeWalker.h"
#include "support/BoxWatcher.h"
#include "support/Recorders.h"
#include "support/TempTree.h"

namespace {

const char* const MATCH = "the needle is here\n";
const char* const NO_MATCH = "only hay here\n";

// Calls back after each add, so a test can act in the middle of a walk.
class ReactingResults : public ResultSink {
public:
    explicit ReactingResults(std::function<void()> react) : react(std::move(react)) {}
    void add(const char* path, const char*) override
    {
        paths.push_back(path);
        react();
    }
    std::vector<std::string> paths;

private:
    std::function<void()> react;
};

class TreeWalkerTest : public testing::Test {
protected:
    void SetUp() override
    {
        resetSharedState();
        searchActive = 1;
    }
    void TearDown() override { resetSharedState(); }

    void walk(ResultSink& sink, const std::string& root, int recurse = 1)
    {
        TreeWalker walker(sink);
        walker.searchDirectory(root.c_str(), "needle", recurse);
    }
    std::vector<std::string> walk(const std::string& root, int recurse = 1)
    {
        RecordingResults results;
        walk(results, root, recurse);
        return results.paths;
    }
    std::set<std::string> found(const std::string& root, int recurse = 1)
    {
        std::vector<std::string> paths = walk(root, recurse);
        return std::set<std::string>(paths.begin(), paths.end());
    }

    TempTree tree;
};

TEST_F(TreeWalkerTest, SelectsFilesByTheirLastFourCharactersLowerCased)
{
    const char* matching[] = {"report.TXT", "index.html", ".htm", "page.Htm", "a.c",
                              "x.rtf",      "x.doc",      "ab",   "txt",      "notes.txt.bak"};
    for (const char* name : matching)
        tree.file(name, MATCH);
    tree.file("hay.txt", NO_MATCH);

    EXPECT_EQ((std::set<std::string>{tree.path("report.txt"), tree.path(".htm"), tree.path("page.htm")}),
              found(tree.root()));

    fileTypeSet.htm = 0;
    fileTypeSet.txt = 0;
    fileTypeSet.rtf = 1;
    EXPECT_EQ(std::set<std::string>{tree.path("x.rtf")}, found(tree.root()));
    fileTypeSet.doc = 1;
    EXPECT_EQ((std::set<std::string>{tree.path("x.rtf"), tree.path("x.doc")}), found(tree.root()));

    fileTypeSet.rtf = 0;
    fileTypeSet.doc = 0;
    EXPECT_TRUE(found(tree.root()).empty());
}

TEST_F(TreeWalkerTest, WalksDepthFirstWithEachFolderBeforeItsChildren)
{
    tree.file("top.txt", MATCH);
    tree.file("one/b.txt", MATCH);
    tree.file("one/deep/c.txt", MATCH);
    tree.file("two/d.htm", MATCH);
    tree.file("two/.config/e.txt", MATCH);
    SetFileAttributesA(tree.path("two/.config").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

    std::vector<std::string> order = walk(tree.root());
    ASSERT_EQ(5u, order.size());
    auto at = [&](const char* relative) {
        return std::find(order.begin(), order.end(), tree.path(relative)) - order.begin();
    };
    EXPECT_EQ(0, at("top.txt")) << "a folder's own files come before any below it";
    EXPECT_LT(at("one/b.txt"), at("one/deep/c.txt"));
    EXPECT_LT(at("two/d.htm"), at("two/.config/e.txt"));
    // Each subtree is finished before the next one starts.
    bool oneFirst = at("one/b.txt") < at("two/d.htm");
    if (oneFirst)
        EXPECT_LT(at("one/deep/c.txt"), at("two/d.htm"));
    else
        EXPECT_LT(at("two/.config/e.txt"), at("one/b.txt"));

    EXPECT_EQ(std::vector<std::string>{tree.path("top.txt")}, walk(tree.root(), 0));
}

TEST_F(TreeWalkerTest, FolderNamedLikeAFileIsSearchedAsAFolderWithoutABox)
{
    // An unexpected box would fail the test: none may come for the folder.
    tree.file("Notes.TXT/inner.txt", MATCH);
    tree.dir("empty.htm");
    EXPECT_EQ(std::set<std::string>{tree.path("Notes.TXT/inner.txt")}, found(tree.root()));
}

TEST_F(TreeWalkerTest, ClearingSearchActiveStopsAtTheNextEntry)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt", "sub/d.txt", "sub/deeper/e.txt", "other/f.txt"})
        tree.file(name, MATCH);
    ReactingResults stopping([] { searchActive = 0; });
    walk(stopping, tree.root());
    EXPECT_EQ(1u, stopping.paths.size());

    // Stopped before it starts: nothing is even opened (an unopenable entry would show a box).
    tree.dir("folder.txt");
    searchActive = 0;
    EXPECT_TRUE(walk(tree.root()).empty());
}

TEST_F(TreeWalkerTest, FileTypesAreReadAfreshForEveryEntry)
{
    for (int i = 0; i < 8; ++i)
        tree.file("f" + std::to_string(i) + ".txt", MATCH);
    ReactingResults narrowing([] { fileTypeSet.txt = 0; });
    walk(narrowing, tree.root());
    EXPECT_EQ(1u, narrowing.paths.size());
}

TEST_F(TreeWalkerTest, MissingRootFindsNothingAndSaysNothing)
{
    EXPECT_TRUE(walk(tree.path("not here")).empty());
}

TEST_F(TreeWalkerTest, DriveRootIsSearchedWhole)
{
    if (GetDriveTypeA("T:\\") == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no test drive T:";
    TempTree root("T:\\");
    for (const char* name : {"one.txt", "two.txt", "three.txt", "sub/four.txt"})
        root.file(name, MATCH);
    EXPECT_EQ((std::set<std::string>{"T:\\one.txt", "T:\\two.txt", "T:\\three.txt", "T:\\sub\\four.txt"}),
              found("T:\\"));
}

}  // namespace
