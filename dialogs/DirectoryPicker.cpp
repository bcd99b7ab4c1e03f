#include "dialogs/DirectoryPicker.h"

#include <cstring>

#include "resources/ResourceModule.h"
#include "platform/Beep.h"
#include "resources/resource.h"
#include "search/DirectoryCursor.h"
#include "search/DriveTable.h"
#include "platform/ScopedOwners.h"

HWND pickerWindow = nullptr;
HWND pickerList = nullptr;
char pickedEntry[256];

namespace {

void addEntry(const char* text)
{
    SendMessageA(pickerList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

// Drive A is always offered: probing a floppy drive without a disk says nothing about
// whether the user can insert one.
void addDriveEntries()
{
    char entry[] = ".A:";
    addEntry(entry);
    for (int drive = driveTable.nextAvailableDrive(1); drive != 0;
         drive = driveTable.nextAvailableDrive(static_cast<unsigned>(drive))) {
        entry[1] = static_cast<char>('A' + drive - 1);
        addEntry(entry);
    }
}

void addSubdirectories()
{
    // Below a root the way up is always offered, also when the folder cannot be listed (it
    // is gone, or may not be read): without it the dialog would have no way out.
    bool belowRoot = std::strlen(searchRoot.path) > 3;
    if (belowRoot)
        addEntry("..");
    // A drive without a medium must just look empty, not make the system ask for a disk.
    {
        ScopedErrorMode quiet(SEM_FAILCRITICALERRORS);
        searchRoot.openEnumeration();
    }
    for (const char* name = searchRoot.nextDirectory(); name != nullptr; name = searchRoot.nextDirectory()) {
        bool listedAlready = belowRoot && std::strcmp(name, "..") == 0;
        if (!listedAlready && std::strcmp(name, ".") != 0)
            addEntry(name);
    }
}

// Moves searchRoot into the entry now selected. An entry too long for pickedEntry, or a
// child whose path would be too long, cannot be entered: the user hears a beep and the
// dialog stays where it is.
void onEntrySelected()
{
    LRESULT index = SendMessageA(pickerList, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR)
        return;
    LRESULT length = SendMessageA(pickerList, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || static_cast<std::size_t>(length) >= sizeof pickedEntry) {
        signalBeep();
        return;
    }
    SendMessageA(pickerList, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(pickedEntry));
    if (!searchRoot.navigate(pickedEntry)) {
        signalBeep();
        return;
    }
    refreshPicker();
}

}  // namespace

void refreshPicker()
{
    if (pickerWindow == nullptr)
        return;
    SendMessageA(pickerList, LB_RESETCONTENT, 0, 0);
    SetDlgItemTextA(pickerWindow, IDC_FILES_LABEL, searchRoot.path);
    if (std::strlen(searchRoot.path) <= 3)
        addDriveEntries();
    addSubdirectories();
}

INT_PTR showDirectoryPicker(HWND owner)
{
    return DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_SELECT_DIRECTORY), owner, directoryPickerProc, 0);
}

INT_PTR CALLBACK directoryPickerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        pickerWindow = dialog;
        pickerList = GetDlgItem(dialog, IDC_FILE_LIST);
        refreshPicker();
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_FILE_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE)
                onEntrySelected();
            return FALSE;
        }
        return FALSE;
    case WM_DESTROY:
        // Later refreshes must not reach a list box that is gone.
        pickerWindow = nullptr;
        pickerList = nullptr;
        return FALSE;
    }
    return FALSE;
}
