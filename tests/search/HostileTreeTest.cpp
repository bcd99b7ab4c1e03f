// Walks over what users' folders really hold: over-long paths, a link loop, odd bytes, huge
// lines, files that cannot be opened. The expectations are worked out here from how the trees
// were made, never taken from what the walker produced.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "search/SearchState.h"
#include "search/TreeWalker.h"
#include "support/BoxWatcher.h"
#include "support/Recorders.h"
#include "support/TempTree.h"

namespace {

const std::size_t LONGEST_PATH = 259;

class HostileTreeTest : public testing::Test {
protected:
    void SetUp() override
    {
        resetSharedState();
        searchActive = 1;
    }
    void TearDown() override { resetSharedState(); }

    std::multiset<std::string> walk(const std::string& root, const char* query = "needle")
    {
        RecordingResults results;
        TreeWalker walker(results);
        walker.searchDirectory(root.c_str(), query, 1);
        return std::multiset<std::string>(results.paths.begin(), results.paths.end());
    }

    // The trees made by tools/make-hostile-tree.sh behind drive U:.
    static bool haveFixture(const char* folder)
    {
        return GetFileAttributesA(folder) != INVALID_FILE_ATTRIBUTES;
    }
};

TEST_F(HostileTreeTest, OverLongPathsAreSkippedAndEverythingShorterIsFound)
{
    if (!haveFixture("U:\\long"))
        GTEST_SKIP() << "the long-path tree is made by tools/make-hostile-tree.sh";
    std::string deep = "U:\\long\\" + std::string(192, 'd');
    std::multiset<std::string> expected = {"U:\\long\\short.txt"};
    for (std::size_t length : {258u, 259u, 260u, 300u}) {
        std::string file = deep + "\\" + std::string(length - deep.size() - 1 - 4, 'n') + ".txt";
        ASSERT_EQ(length, file.size());
        if (file.size() <= LONGEST_PATH)
            expected.insert(file);
    }
    // The folders of 259 and 260 characters hold f.txt, which no path of 259 can reach.
    EXPECT_EQ(expected, walk("U:\\long"));
}

TEST_F(HostileTreeTest, LinkBackToAnAncestorEndsAtThePathLimit)
{
    if (!haveFixture("U:\\loop"))
        GTEST_SKIP() << "the loop is made by tools/make-hostile-tree.sh";
    // U:\loop\a\back leads back to U:\loop, so every round adds "\a\back" to the path.
    std::multiset<std::string> expected;
    for (std::string level = "U:\\loop"; level.size() <= LONGEST_PATH; level += "\\a\\back") {
        for (const std::string& file : {level + "\\top.txt", level + "\\a\\hit.txt"}) {
            if (file.size() <= LONGEST_PATH)
                expected.insert(file);
        }
    }
    ASSERT_GT(expected.size(), 60u);
    EXPECT_EQ(expected, walk("U:\\loop"));
}

TEST_F(HostileTreeTest, OddContentIsScannedSafely)
{
    TempTree tree;
    auto line = [](std::size_t length, const std::string& end) {
        return std::string(length - end.size(), 'h') + end;
    };
    std::string highBytes;
    for (int b = 0x80; b <= 0xFF; ++b)
        highBytes += static_cast<char>(b);

    // name, content, whether it holds "needle" as a word part that a 1023-byte read keeps whole
    const struct {
        const char* name;
        std::string content;
        bool listed;
    } files[] = {
        {"line1022.txt", line(1022, " needle") + "\n", true},
        {"line1023.txt", line(1023, " needle") + "\n", true},
        {"line1024.txt", line(1024, " needle") + "\n", false},  // the read cuts it: "needl" + "e"
        {"line1024b.txt", line(1024, " needlee") + "\n", true},  // "needle" + "e" keeps it whole
        {"megabyte.txt", std::string(1 << 20, 'h') + " needle\n", true},
        {"zeros.txt", std::string(1 << 16, '\0'), false},
        {"zerothen.txt", std::string("x\0needle\n", 9), false},
        {"high.txt", highBytes + "needle" + highBytes + "\n", true},
        {"highonly.txt", highBytes + highBytes, false},
        {"empty.txt", "", false},
        {"crlf.htm", "hay\r\nhay\r\nneedle\r\n", true},
    };
    std::multiset<std::string> expected;
    for (const auto& f : files) {
        tree.file(f.name, f.content);
        if (f.listed)
            expected.insert(tree.path(f.name));
    }
    EXPECT_EQ(expected, walk(tree.root()));
}

TEST_F(HostileTreeTest, UnopenableFileIsReportedAndTheWalkGoesOn)
{
    TempTree tree;
    tree.file("before/a.txt", "needle\n");
    tree.file("locked.txt", "needle\n");
    tree.file("after/b.txt", "needle\n");
    // Held open with no sharing, so the matcher's open fails.
    HANDLE lock = CreateFileA(tree.path("locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);

    BoxWatcher boxes;
    std::multiset<std::string> paths = walk(tree.root());
    CloseHandle(lock);

    EXPECT_EQ((std::multiset<std::string>{tree.path("before/a.txt"), tree.path("after/b.txt")}), paths);
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("Error: cannot open selected file!", boxes.boxes()[0].caption);
    EXPECT_EQ(tree.path("locked.txt"), boxes.boxes()[0].text);
}

} // namespace
