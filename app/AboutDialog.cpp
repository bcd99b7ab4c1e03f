#include "app/AboutDialog.h"

#include "app/WindowSetup.h"
#include "resources/resource.h"

void showAboutBox(HWND owner)
{
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ABOUT), owner, aboutDialogProc, 0);
}

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;  // the focus goes to the OK button
    case WM_COMMAND:
        // OK and Enter send IDOK; Escape and the close box send IDCANCEL.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
