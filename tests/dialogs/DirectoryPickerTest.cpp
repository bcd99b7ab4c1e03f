#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/WindowSetup.h"
#include "dialogs/DirectoryPicker.h"
#include "resources/resource.h"
#include "search/DirectoryCursor.h"
#include "search/TextBuffer.h"
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

    bool lists(const std::string& entry) const
    {
        return std::find(entries.begin(), entries.end(), entry) != entries.end();
    }
    std::vector<std::string> drives() const
    {
        std::vector<std::string> found;
        std::copy_if(entries.begin(), entries.end(), std::back_inserter(found),
                     [](const std::string& entry) { return isDriveEntry(entry.c_str()); });
        return found;
    }
    Names directories() const
    {
        Names found(entries.begin(), entries.end());
        for (const std::string& drive : drives())
            found.erase(drive);
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
        for (const char* folder : {"Alpha", "beta\\deep", ".cache", "gamma"})
            tree.dir(folder);
        tree.file("notes.txt", "");
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

    TempTree tree{BASE};
    std::string previousRoot;
};

TEST_F(DirectoryPickerTest, AtARootListsDriveAAndTheAvailableDrivesThenTheDirectories)
{
    TempTree rootA("T:\\kd-root-a"), rootB("T:\\kd-root-b");
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
    // first, so one of the folders may be missing.
    DirectoryCursor root;
    ASSERT_TRUE(root.setPath("T:\\"));
    root.openEnumeration();
    Names expected;
    for (const char* name = root.nextDirectory(); name != nullptr; name = root.nextDirectory())
        expected.insert(name);
    EXPECT_GE(expected.size(), 2u);
    EXPECT_EQ(expected, view.directories());
    EXPECT_TRUE(view.sorted());
}

TEST_F(DirectoryPickerTest, OpensBelowARootAndEverySelectionMovesTheRootAndRefills)
{
    const Names base = {"..", ".cache", "Alpha", "beta", "gamma"};  // no files, no drives
    const struct {
        const char* entry;  // nullptr: as opened
        std::string path;
        Names directories;  // below a root
    } steps[] = {
        {nullptr, BASE, base},
        {"beta", BASE + "\\beta", {"..", "deep"}},
        {"..", BASE, base},
        {".cache", BASE + "\\.cache", {".."}},  // a folder, although it begins with a dot
        {"..", BASE, base},
        {"..", "T:\\", {}},
        {".C:", "C:\\", {}},
        {".A:", "A:\\", {}},  // entered even with no medium, or no drive, there
        {".T:", "T:\\", {}},
    };
    std::vector<PickerView> views;
    runPicker(BASE, [&](HWND dialog) {
        for (const auto& step : steps) {
            if (step.entry != nullptr)
                select(dialog, step.entry);
            views.push_back(look(dialog));
        }
    });
    ASSERT_EQ(sizeof steps / sizeof steps[0], views.size());
    for (std::size_t i = 0; i < views.size(); ++i) {
        const PickerView& view = views[i];
        SCOPED_TRACE(std::string("after choosing ") + (steps[i].entry != nullptr ? steps[i].entry : "nothing"));
        EXPECT_EQ(steps[i].path, view.root);
        EXPECT_EQ(steps[i].path, view.label);
        EXPECT_TRUE(view.sorted());
        if (steps[i].path.size() > 3) {
            EXPECT_EQ(steps[i].directories, view.directories());
        }
        EXPECT_EQ(steps[i].path.size() <= 3, view.lists(".T:")) << "drives only at a root";
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
        EXPECT_EQ(Names{".."}, view.directories());
    }
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
        select(dialog, "child-name");
        SendMessageA(listOf(dialog), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(overlong.c_str()));
        select(dialog, overlong);
        view = look(dialog);
    });
    EXPECT_EQ(longFolder, view.root);
    EXPECT_EQ(longFolder, view.label);
    EXPECT_EQ("child-name", std::string(pickedEntry, boundedLength(pickedEntry, sizeof pickedEntry)))
        << "the overlong entry was never copied";
}

} // namespace
