#include "ProgramHarness.h"

#include "panel/SearchPanel.h"
#include "resources/resource.h"
#include "search/DirectoryCursor.h"
#include "support/BoxWatcher.h"

namespace {

// What the user reaches from the menu and the panel's button opens over the main window.
TEST_F(ProgramTest, MenuItemsOpenTheirDialogsOverTheMainWindow)
{
    const struct {
        UINT command;
        const char* caption;
    } items[] = {
        {IDM_SELECT_FILE_TYPES, "File Types to be Searched"},
        {IDM_SELECT_DIRECTORY, "Select Directory to be Searched"},
    };
    for (const auto& item : items) {
        BoxWatcher boxes(IDCANCEL);
        menu(item.command);
        ASSERT_EQ(1u, boxes.count()) << item.caption;
        EXPECT_EQ(item.caption, boxes.boxes()[0].caption);
        EXPECT_EQ(MainWindow, boxes.boxes()[0].owner);
    }
}

TEST_F(ProgramTest, LaunchBrowserOpensTheBrowserDialogOnceAFileIsFound)
{
    TempTree tree;
    tree.file("found.txt", "a needle\n");
    searchRoot.setPath(tree.root().c_str());
    searchFor("needle");

    BoxWatcher boxes(IDCANCEL);
    menu(IDC_LAUNCH_BROWSER);
    sendCommand(panelWindow.load(), IDC_LAUNCH_BROWSER);
    ASSERT_EQ(2u, boxes.count());
    for (const ShownBox& box : boxes.boxes()) {
        EXPECT_EQ("Launch Browser", box.caption);
        EXPECT_EQ(MainWindow, box.owner) << "the panel's top-level window owns it";
    }
}

}  // namespace
