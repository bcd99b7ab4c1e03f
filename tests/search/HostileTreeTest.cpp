// Walks over what users' folders really hold: over-long paths, a link loop, odd bytes, huge
// lines, files that cannot be opened. The expectations are worked out here from how the trees
// were made, never taken from what the walker produced.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "search/SearchState.h"
#include "search/TreeWalker.h"
#include "support/BoxWatcher.h"
#include "support/Recorders.h"
#include "support/TempTree.h"
#include "support/TestData.h"

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

    // Each path the walk listed, with the text of the file it opened for it.
    std::multimap<std::string, std::string> walkShowing(const std::string& root)
    {
        RecordingResults results;
        TreeWalker walker(results);
        walker.searchDirectory(root.c_str(), "needle", 1);
        std::multimap<std::string, std::string> shown;
        for (std::size_t i = 0; i < results.paths.size(); ++i)
            shown.insert({results.paths[i], contentOf(results.opened[i])});
        return shown;
    }

    static std::string contentOf(const std::string& path)
    {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (file == nullptr)
            return "(cannot be opened)";
        std::string text;
        char buffer[256];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            text.append(buffer, got);
        std::fclose(file);
        return text;
    }

    // The trees made by tools/make-hostile-tree.sh behind drive U:.
    static bool haveFixture(const char* folder) { return GetFileAttributesA(folder) != INVALID_FILE_ATTRIBUTES; }
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

TEST_F(HostileTreeTest, LinksBackToAFolderOnThePathAreNotFollowed)
{
    // U:\loop\a\back leads back to U:\loop; U:\twolinks\a and \b each lead to U:\twolinks,
    // which would double the paths at every level. One walker walks both, as the program's
    // walker serves one search after another.
    const struct {
        const char* root;
        std::multiset<std::string> files;
    } trees[] = {
        {"U:\\twolinks", {"U:\\twolinks\\x.txt", "U:\\twolinks\\sub\\y.txt"}},
        {"U:\\loop", {"U:\\loop\\top.txt", "U:\\loop\\a\\hit.txt"}},
        // Started inside loop, whose up leads to its parent: loop is a plain folder there,
        // but the walk is below a link by then, so it is known for the folder it started in.
        {"U:\\inside\\loop", {"U:\\inside\\loop\\inner.txt", "U:\\inside\\loop\\up\\sib.txt"}},
        // Started in low, whose up leads to its grandparent: below the link, low is found again
        // two levels down.
        {"U:\\grand\\mid\\low", {"U:\\grand\\mid\\low\\low.txt", "U:\\grand\\mid\\low\\up\\top.txt"}},
    };
    RecordingResults results;
    TreeWalker walker(results);
    for (const auto& tree : trees) {
        if (!haveFixture(tree.root))
            GTEST_SKIP() << "the loops are made by tools/make-hostile-tree.sh";
        results.paths.clear();
        walker.searchDirectory(tree.root, "needle", 1);
        EXPECT_EQ(tree.files, std::multiset<std::string>(results.paths.begin(), results.paths.end())) << tree.root;
    }
}

// The path an entry of folder is reached by when its long name will not do: the folder, then
// the short name the file system gave the entry, with a file's extension lower-cased as the
// walk lists it. Empty when it has none. The folder is listed rather than the entry asked
// for by name, which for a device's name would reach the device.
std::string shortPathOf(const std::wstring& folder, const std::wstring& name, bool isFile)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    std::string path;
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &entry)) {
        if (name == entry.cFileName && entry.cAlternateFileName[0] != L'\0') {
            char narrow[MAX_PATH];
            WideCharToMultiByte(CP_ACP, 0, (folder + L"\\" + entry.cAlternateFileName).c_str(), -1, narrow,
                                sizeof narrow, nullptr, nullptr);
            path = narrow;
            if (isFile)
                CharLowerA(&path[path.size() - 4]);
        }
    }
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    return path;
}

TEST_F(HostileTreeTest, NamesOutsideTheCodePageAreReachedByTheirShortNames)
{
    const std::wstring names = L"U:\\names";
    if (GetFileAttributesW(L"U:\\names\\\u0100bc.txt") == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "the names are made by tools/make-hostile-tree.sh, read by Wine in a UTF-8 locale";
    std::multiset<std::string> expected = {
        "U:\\names\\plain.txt",
        shortPathOf(names, L"\u0100bc.txt", true),                              // not its look-alike Abc.txt
        shortPathOf(names, L"\u041f\u0440\u0438\u0432\u0435\u0442.txt", true),  // Cyrillic
        shortPathOf(names, L"\U0001F600.htm", true),                            // an emoji
        shortPathOf(names, L"\u65e5\u672c", false) + "\\inner.txt",             // in a CJK folder
    };
    for (const std::string& path : expected)
        ASSERT_EQ(0u, path.find("U:\\names\\")) << "no short name to expect: " << path;

    BoxWatcher boxes;
    EXPECT_EQ(expected, walk("U:\\names"));
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(HostileTreeTest, NamesAPathCannotHoldAreReachedByUsableShortNamesOrPassedOver)
{
    if (!haveFixture("U:\\forbidden") || !haveFixture("U:\\trailing"))
        GTEST_SKIP() << "the names are made by tools/make-hostile-tree.sh";
    // Every file says its own name: "tdot.\inside.txt" must not show the text of its twin
    // "tdot\inside.txt", which is what a path through "tdot." reaches.
    enum Reached { LONG_NAME, SHORT_NAME, PASSED_OVER };
    const struct {
        const wchar_t* folder;
        const wchar_t* name;  // a file, or a folder holding inside.txt
        bool isFile;
        Reached reached;
        const char* says;
    } entries[] = {
        {L"U:\\forbidden", L"plain.txt", true, LONG_NAME, "plain.txt"},
        {L"U:\\forbidden", L"a*b.txt", true, SHORT_NAME, "a*b.txt"},
        {L"U:\\forbidden", L"a?b.txt", true, SHORT_NAME, "a?b.txt"},
        {L"U:\\forbidden", L"a\"b.txt", true, SHORT_NAME, "a\"b.txt"},
        {L"U:\\forbidden", L"a<b>.txt", true, SHORT_NAME, "a<b>.txt"},
        {L"U:\\forbidden", L"a|b.txt", true, SHORT_NAME, "a|b.txt"},
        {L"U:\\forbidden", L"a\\b.txt", true, PASSED_OVER, ""},  // Wine's short name holds the backslash
        {L"U:\\forbidden", L"a:b.txt", true, PASSED_OVER, ""},   // and this one the colon
        {L"U:\\forbidden", L"a\tb.txt", true, PASSED_OVER, ""},  // no short name at all
        {L"U:\\trailing", L"tdot.", false, SHORT_NAME, "tdot."},
        {L"U:\\trailing", L"tdot", false, LONG_NAME, "tdot"},
        {L"U:\\trailing", L"tblank ", false, SHORT_NAME, "tblank "},
        {L"U:\\trailing", L"tblank", false, LONG_NAME, "tblank"},
        {L"U:\\trailing", L"dot.txt.", true, PASSED_OVER, ""},  // of the kind "txt.", not ".txt"
        {L"U:\\trailing", L"dot.txt", true, LONG_NAME, "dot.txt"},
    };
    std::map<std::wstring, std::multimap<std::string, std::string>> expected;
    for (const auto& e : entries) {
        std::multimap<std::string, std::string>& shown = expected[e.folder];
        if (e.reached == PASSED_OVER)
            continue;
        char folder[MAX_PATH], name[MAX_PATH];
        WideCharToMultiByte(CP_ACP, 0, e.folder, -1, folder, sizeof folder, nullptr, nullptr);
        WideCharToMultiByte(CP_ACP, 0, e.name, -1, name, sizeof name, nullptr, nullptr);
        std::string path =
            e.reached == LONG_NAME ? std::string(folder) + "\\" + name : shortPathOf(e.folder, e.name, e.isFile);
        ASSERT_EQ(0u, path.find(folder)) << "no short name to expect for " << name;
        std::string says = std::string("a needle in ") + e.says + "\n";
        if (e.isFile)
            shown.insert({path, says});
        else
            shown.insert({path + "\\inside.txt", "a needle in " + std::string(e.says) + "\n"});
    }
    BoxWatcher boxes;
    for (const auto& folder : expected) {
        char root[MAX_PATH];
        WideCharToMultiByte(CP_ACP, 0, folder.first.c_str(), -1, root, sizeof root, nullptr, nullptr);
        EXPECT_EQ(folder.second, walkShowing(root)) << root;
    }
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(HostileTreeTest, DeviceNamesAreNeverOpened)
{
    if (!haveFixture("U:\\devices"))
        GTEST_SKIP() << "the device names are made by tools/make-hostile-tree.sh";
    // aux.txt would open the serial port and hang the walk, nul.txt the null device. Wine
    // gives such names no short name, so they are passed over; "aux .txt" has one.
    std::multiset<std::string> expected = {"U:\\devices\\a.txt", "U:\\devices\\z.txt"};
    std::string blankBeforeDot = shortPathOf(L"U:\\devices", L"aux .txt", true);
    if (!blankBeforeDot.empty())
        expected.insert(blankBeforeDot);
    BoxWatcher boxes;
    EXPECT_EQ(expected, walk("U:\\devices"));
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(HostileTreeTest, OddContentIsScannedSafely)
{
    TempTree tree;
    auto line = [](std::size_t length, const std::string& end) { return std::string(length - end.size(), 'h') + end; };
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
        {"line1024.txt", line(1024, " needle") + "\n", true},  // one word across byte 1023
        {"line1024b.txt", line(1024, " needlee") + "\n", true},
        {"megabyte.txt", std::string(1 << 20, 'h') + " needle\n", true},
        {"zeros.txt", std::string(1 << 16, '\0'), false},
        {"zerothen.txt", std::string("x\0needle\n", 9), false},
        {"high.txt", highBytes + "needle" + highBytes + "\n", true},
        {"highonly.txt", highBytes + highBytes, false},
        {"empty.txt", "", false},
        {"crlf.htm", "hay\r\nhay\r\nneedle\r\n", true},
        {"ctrlz.txt", "hay\x1a hay\r\nneedle\r\n", true},  // a Ctrl+Z ends nothing
        {"ctrlzfirst.txt",
         "\x1a"
         "needle",
         true},
        {"utf16le.txt", std::string("\xFF\xFEh\0a\0y\0 \0n\0e\0e\0d\0l\0e\0\r\0\n\0", 26), true},
        {"utf16be.txt", std::string("\xFE\xFF\0n\0e\0e\0d\0l\0e", 14), true},
        {"utf16nomark.txt", std::string("n\0e\0e\0d\0l\0e\0", 12), false},  // zeros between letters
        {"utf8mark.txt",
         "\xEF\xBB\xBF"
         "caf\xC3\xA9 needle\n",
         true},
        {"utf8.htm", "caf\xC3\xA9 needle\n", true},
        {"macron.txt",
         "\xEF\xBB\xBF"
         "n\xC4\x93"
         "edle\n",
         false},  // "\u0113" is no "e"
    };
    std::multiset<std::string> expected;
    for (const auto& f : files) {
        tree.file(f.name, f.content);
        if (f.listed)
            expected.insert(tree.path(f.name));
    }
    EXPECT_EQ(expected, walk(tree.root()));
}

TEST_F(HostileTreeTest, WordDocumentsAreSearchedByTheTextTheyShow)
{
    // Documents a word processor wrote, and files that only look like documents: those are
    // searched as their bytes, with no box. "apple" is in the text of four documents, and
    // in the bytes of the look-alike.
    TempTree tree;
    const char* const documents[] = {"plain.doc", "accents.doc", "table.doc", "hyperlink.doc", "footnote-header.doc"};
    for (const char* name : documents)
        tree.file(name, testData(std::string("word/") + name));
    std::string signature = testData("word/plain.doc").substr(0, 8);
    tree.file("signature.doc", signature + " an apple\r\n");
    tree.file("signature.txt", signature + " an apple\r\n");
    fileTypeSet.doc = 1;
    BoxWatcher boxes;
    std::multiset<std::string> expected = {tree.path("plain.doc"),     tree.path("table.doc"),
                                           tree.path("hyperlink.doc"), tree.path("footnote-header.doc"),
                                           tree.path("signature.doc"), tree.path("signature.txt")};
    EXPECT_EQ(expected, walk(tree.root(), "apple"));
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(HostileTreeTest, UnopenableFileIsReportedAndOkGoesOnWhileCancelStops)
{
    TempTree tree;
    tree.file("before/a.txt", "needle\n");
    ASSERT_TRUE(tree.lockedFile("locked.txt", "needle\n"));
    tree.file("after/b.txt", "needle\n");

    // The subfolders are searched after the folder's own files, so Cancel stops before them.
    const struct {
        int answer;
        std::multiset<std::string> paths;
        int stillActive;
    } answers[] = {
        {IDOK, {tree.path("before/a.txt"), tree.path("after/b.txt")}, 1},
        {IDCANCEL, {}, 0},
    };
    for (const auto& a : answers) {
        searchActive = 1;
        BoxWatcher boxes(a.answer);
        EXPECT_EQ(a.paths, walk(tree.root())) << "answered " << a.answer;
        EXPECT_EQ(a.stillActive, searchActive.load());
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ("Error: cannot open selected file!", boxes.boxes()[0].caption);
        EXPECT_EQ(tree.path("locked.txt"), boxes.boxes()[0].text);
    }
}

}  // namespace
