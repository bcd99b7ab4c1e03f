#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "TestFolders.h"
#include "app/WindowSetup.h"
#include "dialogs/DirectoryPicker.h"
#include "resources/resource.h"
#include "search/DirectoryCursor.h"
#include "search/TextBuffer.h"

namespace {

const char PICKER_CAPTION[] = "Select Directory to be Searched";
const std::string BASE = "T:\\kd-picker";

struct PickerView {
    std::string label;
    std::vector<std::string> entries;
    std::string root;  // searchRoot's path

    bool lists(const std::string& entry) const
    {
        return std::find(entries.begin(), entries.end(), entry) != entries.end();
    }
    std::vector<std::string> drives() const
    {
        std::vector<std::string> found;
        for (const std::string& entry : entries) {
            if (isDriveEntry(entry.c_str()))
                found.push_back(entry);
        }
        return found;
    }
    std::set<std::string> directories() const
    {
        std::set<std::string> found;
        for (const std::string& entry : entries) {
            if (!isDriveEntry(entry.c_str()))
                found.insert(entry);
        }
        return found;
    }
    // In the list box's own order, which compares without regard to case.
    bool sorted() const
    {
        for (std::size_t i = 1; i < entries.size(); ++i) {
            if (lstrcmpiA(entries[i - 1].c_str(), entries[i].c_str()) > 0)
                return false;
        }
        return true;
    }
};

HWND listOf(HWND dialog)
{
    return GetDlgItem(dialog, IDC_FILE_LIST);
}

PickerView look(HWND dialog)
{
    return {windowText(GetDlgItem(dialog, IDC_FILES_LABEL)), listEntries(listOf(dialog)), searchRoot.path};
}

int indexOf(HWND dialog, const std::string& entry)
{
    return static_cast<int>(SendMessageA(listOf(dialog), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(entry.c_str())));
}

// Selects an entry the way the list box does before it tells the dialog.
void select(HWND dialog, const std::string& entry)
{
    SendMessageA(listOf(dialog), LB_SETCURSEL, static_cast<WPARAM>(indexOf(dialog, entry)), 0);
    sendCommand(dialog, IDC_FILE_LIST, LBN_SELCHANGE);
}

class DirectoryPickerTest : public testing::Test {
protected:
    void SetUp() override
    {
        appInstance = GetModuleHandleA(nullptr);
        previousRoot = searchRoot.path;
        for (const char* folder : {"", "\\Alpha", "\\beta", "\\beta\\deep", "\\.cache", "\\gamma"})
            ASSERT_TRUE(folders.addFolder(BASE + folder)) << folder;
        ASSERT_TRUE(folders.addFile(BASE + "\\notes.txt"));
        ASSERT_TRUE(folders.addFile("T:\\kd-root-file.txt"));
    }

    void TearDown() override { searchRoot.setPath(previousRoot.c_str()); }

    // Opens the picker at start and runs script on it; the picker must end with 0.
    void runPicker(const std::string& start, const std::function<void(HWND)>& script)
    {
        ASSERT_TRUE(searchRoot.setPath(start.c_str()));
        INT_PTR result = -1;
        ASSERT_TRUE(driveDialog(PICKER_CAPTION, [&] { result = showDirectoryPicker(nullptr); }, script));
        EXPECT_EQ(0, result);
    }

    TestFolders folders;
    std::string previousRoot;
};

TEST_F(DirectoryPickerTest, BelowARootListsParentAndSubdirectoriesSorted)
{
    PickerView view;
    runPicker(BASE, [&](HWND dialog) { view = look(dialog); });
    EXPECT_EQ(BASE, view.label);
    EXPECT_EQ((std::set<std::string>{"..", ".cache", "Alpha", "beta", "gamma"}), view.directories());
    EXPECT_TRUE(view.drives().empty());
    EXPECT_EQ(5u, view.entries.size());
    EXPECT_TRUE(view.sorted());
    EXPECT_EQ(BASE, searchRoot.path) << "closing at once moves nothing";
}

TEST_F(DirectoryPickerTest, AtARootListsDriveAAndTheAvailableDrivesThenTheDirectories)
{
    ASSERT_TRUE(folders.addFolder("T:\\kd-root-a"));
    ASSERT_TRUE(folders.addFolder("T:\\kd-root-b"));
    PickerView view;
    runPicker("T:\\", [&](HWND dialog) { view = look(dialog); });
    EXPECT_EQ("T:\\", view.label);
    std::vector<std::string> drives = view.drives();
    for (const char* expected : {".A:", ".C:", ".T:"})
        EXPECT_EQ(1, std::count(drives.begin(), drives.end(), expected)) << expected;
    DWORD mapped = GetLogicalDrives();
    for (const std::string& drive : drives) {
        int index = drive[1] - 'A';
        EXPECT_TRUE(index == 0 || (mapped & (1u << index)) != 0) << drive << " is no drive";
    }
    // The directories are those a cursor of the root yields; a root has no "." to consume
    // first, so one of the three folders may be missing.
    DirectoryCursor root;
    ASSERT_TRUE(root.setPath("T:\\"));
    root.openEnumeration();
    std::set<std::string> expected;
    for (const char* name = root.nextDirectory(); name != nullptr; name = root.nextDirectory())
        expected.insert(name);
    EXPECT_GE(expected.size(), 2u);
    EXPECT_EQ(expected, view.directories());
    EXPECT_FALSE(view.lists("kd-root-file.txt")) << "files are not listed";
    EXPECT_TRUE(view.sorted());
}

TEST_F(DirectoryPickerTest, EverySelectionChangeMovesTheRootAndRefills)
{
    const struct {
        const char* entry;
        std::string path;
        const char* listed;  // an entry the refilled list must hold
    } steps[] = {
        {"beta", BASE + "\\beta", "deep"},
        {"..", BASE, "gamma"},
        {".cache", BASE + "\\.cache", ".."},  // a folder, although it begins with a dot
        {"..", BASE, "Alpha"},
        {"..", "T:\\", ".T:"},
        {".C:", "C:\\", ".T:"},
        {".T:", "T:\\", ".C:"},
    };
    std::vector<PickerView> views;
    runPicker(BASE, [&](HWND dialog) {
        for (const auto& step : steps) {
            select(dialog, step.entry);
            views.push_back(look(dialog));
        }
    });
    ASSERT_EQ(sizeof steps / sizeof steps[0], views.size());
    for (std::size_t i = 0; i < views.size(); ++i) {
        const PickerView& view = views[i];
        SCOPED_TRACE(std::string("after choosing ") + steps[i].entry);
        EXPECT_EQ(steps[i].path, view.root);
        EXPECT_EQ(steps[i].path, view.label);
        EXPECT_TRUE(view.lists(steps[i].listed)) << steps[i].listed;
        EXPECT_EQ(steps[i].path.size() <= 3, !view.drives().empty()) << "drives only at a root";
    }
    EXPECT_EQ("T:\\", std::string(searchRoot.path)) << "closing keeps the last choice";
}

TEST_F(DirectoryPickerTest, KeyboardAndMouseSelectionsEnterTheEntryAtOnce)
{
    const std::function<void(HWND, int)> moves[] = {
        [](HWND dialog, int target) {
            SendMessageA(listOf(dialog), LB_SETCURSEL, static_cast<WPARAM>(target - 1), 0);
            SendMessageA(listOf(dialog), WM_KEYDOWN, VK_DOWN, 0);
        },
        [](HWND dialog, int target) {
            RECT item;
            SendMessageA(listOf(dialog), LB_GETITEMRECT, static_cast<WPARAM>(target),
                         reinterpret_cast<LPARAM>(&item));
            LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
            SendMessageA(listOf(dialog), WM_LBUTTONDOWN, MK_LBUTTON, at);
            SendMessageA(listOf(dialog), WM_LBUTTONUP, 0, at);
        },
    };
    for (const auto& move : moves) {
        PickerView view;
        runPicker(BASE, [&](HWND dialog) {
            move(dialog, indexOf(dialog, "gamma"));
            view = look(dialog);
        });
        EXPECT_EQ(BASE + "\\gamma", view.root);
        EXPECT_EQ(BASE + "\\gamma", view.label);
        EXPECT_EQ(std::set<std::string>{".."}, view.directories());
    }
}

TEST_F(DirectoryPickerTest, DriveAIsEnteredEvenWithoutAMedium)
{
    if ((GetLogicalDrives() & 1u) != 0)
        GTEST_SKIP() << "drive A exists here";
    PickerView view;
    runPicker("T:\\", [&](HWND dialog) {
        select(dialog, ".A:");
        view = look(dialog);
    });
    EXPECT_EQ("A:\\", view.root);
    EXPECT_EQ("A:\\", view.label);
    EXPECT_TRUE(view.directories().empty()) << "an unreadable root lists only the drives";
    EXPECT_TRUE(view.lists(".A:"));
    EXPECT_TRUE(view.lists(".T:"));
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
    ASSERT_TRUE(folders.addFolder("T:\\kd-long"));
    ASSERT_TRUE(folders.addFolder("T:\\kd-long\\child-name"));
    const std::string longFolder = "T:\\" + std::string(250, 'L');
    RenamedFolder lengthened("T:\\kd-long", longFolder);
    ASSERT_TRUE(lengthened.renamed);
    // And an entry longer than any name can be.
    const std::string overlong(300, 'x');
    PickerView view;
    runPicker(longFolder, [&](HWND dialog) {
        select(dialog, "child-name");
        SendMessageA(listOf(dialog), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(overlong.c_str()));
        select(dialog, overlong);
        view = look(dialog);
    });
    EXPECT_EQ(longFolder, view.root);
    EXPECT_EQ(longFolder, view.label);
    EXPECT_TRUE(view.lists("child-name"));
    EXPECT_TRUE(view.lists(".."));
    EXPECT_EQ("child-name", std::string(pickedEntry, boundedLength(pickedEntry, sizeof pickedEntry)))
        << "the overlong entry was never copied";
}

} // namespace
