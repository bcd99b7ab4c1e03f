#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "resources/ResourceModule.h"
#include "dialogs/DirectoryPicker.h"
#include "resources/resource.h"
#include "search/DirectoryCursor.h"
#include "text/TextBuffer.h"
#include "support/TempTree.h"
#include "support/WindowDriver.h"

namespace {

const char PICKER_CAPTION[] = "Select Directory to be Searched";
const std::string BASE = "T:\\kd-picker";
using Names = std::set<std::string>;

// What the picker shows, and where searchRoot is meanwhile.
struct PickerView {
    std::string label;
    std::vector<std::string> entries;
    std::string root;

    Names directories() const
    {
        Names found;
        for (const std::string& entry : entries) {
            if (!isDriveEntry(entry.c_str()))
                found.insert(entry);
        }
        return found;
    }
    // In the list box's own order, which compares without regard to case.
    bool sorted() const
    {
        return std::is_sorted(entries.begin(), entries.end(), [](const std::string& a, const std::string& b) {
            return lstrcmpiA(a.c_str(), b.c_str()) < 0;
        });
    }
};

HWND listOf(HWND dialog)
{
    return GetDlgItem(dialog, IDC_FILE_LIST);
}

PickerView look(HWND dialog)
{
    return {windowText(GetDlgItem(dialog, IDC_FILES_LABEL)), listItems(listOf(dialog)), searchRoot.path};
}

// Clicks an entry with the mouse, as a user picks it.
void click(HWND dialog, const std::string& entry)
{
    HWND list = listOf(dialog);
    RECT item;
    LRESULT index =
        SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(entry.c_str()));
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
}

class DirectoryPickerTest : public testing::Test {
protected:
    void SetUp() override
    {
        appInstance = GetModuleHandleA(nullptr);
        previousRoot = searchRoot.path;
        for (const char* folder : {"Alpha", "beta\\deep", ".cache", "gamma"})
            tree.dir(folder);
        tree.file("notes.txt", "");
    }

    void TearDown() override { searchRoot.setPath(previousRoot.c_str()); }

    // Opens the picker at start and runs script on it.
    void runPicker(const std::string& start, const std::function<void(HWND)>& script)
    {
        ASSERT_TRUE(searchRoot.setPath(start.c_str()));
        ASSERT_TRUE(driveDialog(
            PICKER_CAPTION, [] { showDirectoryPicker(nullptr); }, script));
    }

    TempTree tree{BASE};
    std::string previousRoot;
};

TEST_F(DirectoryPickerTest, EveryClickMovesTheRootAndRefillsTheSortedListWithDrivesAtARoot)
{
    const Names base = {"..", ".cache", "Alpha", "beta", "gamma"};  // no files, no drives
    const struct {
        const char* entry;  // nullptr: as opened
        std::string path;
        Names directories;  // below a root
    } steps[] = {
        {nullptr, BASE, base}, {"beta", BASE + "\\beta", {"..", "deep"}},
        {"..", BASE, base},    {".cache", BASE + "\\.cache", {".."}},  // a folder, although it begins with a dot
        {"..", BASE, base},    {"..", "T:\\", {}},
        {".C:", "C:\\", {}},   {".A:", "A:\\", {}},  // entered even with no medium, or no drive, there
        {".T:", "T:\\", {}},
    };
    std::vector<PickerView> views;
    runPicker(BASE, [&](HWND dialog) {
        for (const auto& step : steps) {
            if (step.entry != nullptr)
                click(dialog, step.entry);
            views.push_back(look(dialog));
        }
    });
    ASSERT_EQ(sizeof steps / sizeof steps[0], views.size());
    for (std::size_t i = 0; i < views.size(); ++i) {
        const PickerView& view = views[i];
        SCOPED_TRACE(steps[i].entry != nullptr ? steps[i].entry : "as opened");
        EXPECT_EQ(steps[i].path, view.root);
        EXPECT_EQ(steps[i].path, view.label);
        EXPECT_TRUE(view.sorted());
        bool atRoot = steps[i].path.size() <= 3;
        if (!atRoot) {
            EXPECT_EQ(steps[i].directories, view.directories());
        }
        for (const char* drive : {".A:", ".C:", ".T:"})
            EXPECT_EQ(atRoot ? 1 : 0, std::count(view.entries.begin(), view.entries.end(), drive)) << drive;
    }
    EXPECT_EQ("T:\\", std::string(searchRoot.path)) << "closing keeps the last choice";
}

// Gives a folder another name for as long as it lives.
struct RenamedFolder {
    RenamedFolder(const std::string& from, const std::string& to) : from(from), to(to)
    {
        renamed = MoveFileA(from.c_str(), to.c_str()) != 0;
    }
    ~RenamedFolder()
    {
        if (renamed)
            MoveFileA(to.c_str(), from.c_str());
    }
    std::string from, to;
    bool renamed;
};

TEST_F(DirectoryPickerTest, EntriesThatCannotBeEnteredLeaveTheRootWhereItWas)
{
    // A child whose path would pass 259 characters. Such a path cannot be made directly,
    // so the folder gets its long name after its child is in it.
    TempTree shortName("T:\\kd-long");
    shortName.dir("child-name");
    const std::string longFolder = "T:\\" + std::string(250, 'L');
    RenamedFolder lengthened(shortName.root(), longFolder);
    ASSERT_TRUE(lengthened.renamed);
    // And an entry longer than any name can be.
    const std::string overlong(300, 'x');
    PickerView view;
    runPicker(longFolder, [&](HWND dialog) {
        click(dialog, "child-name");
        SendMessageA(listOf(dialog), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(overlong.c_str()));
        click(dialog, overlong);
        view = look(dialog);
    });
    EXPECT_EQ(longFolder, view.root);
    EXPECT_EQ(longFolder, view.label);
    EXPECT_EQ("child-name", std::string(pickedEntry, boundedLength(pickedEntry, sizeof pickedEntry)))
        << "the overlong entry was never copied";
}

TEST_F(DirectoryPickerTest, BelowARootThereIsAlwaysAWayBack)
{
    // A folder that vanished, and one whose name the ANSI code page cannot hold, which is
    // listed and entered by its short name (the fixture behind U: holds one CJK folder).
    PickerView gone, names, inside, back;
    runPicker(BASE + "\\gone", [&](HWND dialog) {
        gone = look(dialog);
        click(dialog, "..");
        back = look(dialog);
    });
    EXPECT_EQ(Names{".."}, gone.directories());
    EXPECT_EQ(BASE, back.root);

    if (GetFileAttributesA("U:\\names") == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "the names are made by tools/make-hostile-tree.sh";
    runPicker("U:\\names", [&](HWND dialog) {
        names = look(dialog);
        ASSERT_EQ(2u, names.entries.size());
        click(dialog, names.entries[1]);
        inside = look(dialog);
    });
    ASSERT_EQ("..", names.entries[0]);
    const std::string& folder = names.entries[1];
    EXPECT_EQ(std::string::npos, folder.find('?')) << folder;
    EXPECT_EQ("U:\\names\\" + folder, inside.root);
    EXPECT_EQ(Names{".."}, inside.directories());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((inside.root + "\\inner.txt").c_str()));
}

}  // namespace
