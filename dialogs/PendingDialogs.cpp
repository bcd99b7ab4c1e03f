// Placeholder definitions so this branch links before the dialogs are merged in.
// This file goes away when the real dialogs arrive.
#include "dialogs/BrowserDialog.h"
#include "dialogs/DirectoryPicker.h"
#include "dialogs/FileTypeDialog.h"

INT_PTR showDirectoryPicker(HWND)
{
    return 0;
}

INT_PTR showFileTypeDialog(HWND)
{
    return 0;
}

INT_PTR showBrowserDialog(HWND, const char*)
{
    return 0;
}
