#include "dialogs/FileTypeDialog.h"

#include "resources/ResourceModule.h"
#include "resources/resource.h"
#include "search/SearchState.h"

namespace {

struct TypeBox {
    int id;
    std::atomic<int>& flag;
};

const TypeBox typeBoxes[] = {
    {IDC_TYPE_HTM, fileTypeSet.htm},
    {IDC_TYPE_TXT, fileTypeSet.txt},
    {IDC_TYPE_RTF, fileTypeSet.rtf},
    {IDC_TYPE_DOC, fileTypeSet.doc},
};

void showTypeFlags(HWND dialog)
{
    for (const TypeBox& box : typeBoxes) {
        if (box.flag.load() != 0)
            CheckDlgButton(dialog, box.id, BST_CHECKED);
    }
}

// A click flips the flag at once; the search reads it at its next file, and OK or Cancel
// take nothing back. The box has already flipped itself, so setting it again only keeps
// box and flag visibly in step.
bool onTypeBoxClicked(HWND dialog, int id)
{
    for (const TypeBox& box : typeBoxes) {
        if (box.id == id) {
            int now = toggleFlag(box.flag);
            CheckDlgButton(dialog, id, now != 0 ? BST_CHECKED : BST_UNCHECKED);
            return true;
        }
    }
    return false;
}

}  // namespace

INT_PTR showFileTypeDialog(HWND owner)
{
    return DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_FILE_TYPES), owner, fileTypeDialogProc, 0);
}

INT_PTR CALLBACK fileTypeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        showTypeFlags(dialog);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        onTypeBoxClicked(dialog, id);
        return FALSE;
    }
    }
    return FALSE;
}
