#include "dialogs/FileChooser.h"

#include <commdlg.h>
#include <direct.h>
#include <cstring>

namespace {

// What the user typed as a filter of their own; kept for the next opening.
char customFilter[512] = "";

// Turns "Text|*.txt|All|*.*|" into the zero-separated list the dialog wants. Only the
// first string is scanned, so a filter converted before is left as it is.
void convertFilter(char* filter)
{
    std::size_t n = std::strlen(filter);
    for (std::size_t i = 0; i < n; ++i) {
        if (filter[i] == '|')
            filter[i] = '\0';
    }
}

}  // namespace

BOOL chooseFile(HWND owner, char* directory, DWORD directorySize, char* filter, char* fileTitle, DWORD fileTitleSize,
                char* file, DWORD fileSize, const char* caption, const char* defaultExtension)
{
    if (directorySize == 0 || _getcwd(directory, static_cast<int>(directorySize)) == nullptr) {
        if (directorySize != 0)
            directory[0] = '\0';
    }
    convertFilter(filter);

    OPENFILENAMEA dialog;
    std::memset(&dialog, 0, sizeof dialog);
    // Passed at its older size: none of the fields added after lpTemplateName are wanted.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.lpstrCustomFilter = customFilter;
    dialog.nMaxCustFilter = sizeof customFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = fileSize;
    dialog.lpstrFileTitle = fileTitle;
    dialog.nMaxFileTitle = fileTitleSize;
    dialog.lpstrInitialDir = directorySize != 0 && directory[0] != '\0' ? directory : nullptr;
    dialog.lpstrTitle = caption;
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    dialog.lpstrDefExt = defaultExtension;
    return GetOpenFileNameA(&dialog);
}
