#include "app/MenuCommands.h"

#include "app/AboutDialog.h"
#include "app/MainWindowHandle.h"
#include "app/WindowSetup.h"
#include "dialogs/DirectoryPicker.h"
#include "dialogs/FileTypeDialog.h"
#include "panel/SearchPanel.h"
#include "resources/resource.h"
#include "platform/ErrorBox.h"
#include "search/SearchState.h"

namespace {

void handToPanel(WPARAM wParam, LPARAM lParam)
{
    HWND panel = panelWindow.load();
    if (panel != nullptr)
        searchPanelProc(panel, WM_COMMAND, wParam, lParam);
}

}  // namespace

void toggleOption(std::atomic<int>& flag, UINT command)
{
    UINT state = toggleFlag(flag) != 0 ? MF_CHECKED : MF_UNCHECKED;
    CheckMenuItem(mainMenu, command, MF_BYCOMMAND | state);
}

void onMenuCommand(WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case IDC_SEARCH:
    case IDC_LAUNCH_BROWSER:
        handToPanel(wParam, lParam);
        break;
    case IDM_EXIT:
        DestroyWindow(MainWindow);
        break;
    case IDM_ABOUT:
        showAboutBox(MainWindow);
        break;
    case IDM_SELECT_DIRECTORY:
        showDirectoryPicker(MainWindow);
        break;
    case IDM_CASE_SENSITIVE:
        toggleOption(searchOptions.caseSensitive, IDM_CASE_SENSITIVE);
        break;
    case IDM_SUBDIRECTORIES:
        toggleOption(searchOptions.searchSubdirectories, IDM_SUBDIRECTORIES);
        break;
    case IDM_SELECT_FILE_TYPES:
        showFileTypeDialog(MainWindow);
        break;
    case IDM_WHOLE_WORDS:
        toggleOption(searchOptions.wholeWordsOnly, IDM_WHOLE_WORDS);
        break;
    }
}
