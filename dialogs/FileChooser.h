// The platform's file-open dialog, filled the way the program's dialogs use it.
#pragma once
#include <windows.h>

// Shows the file-open dialog and returns nonzero when the user chose an existing file; its
// full path is then in file and its bare name in fileTitle. directory receives the working
// directory, which the dialog opens in. filter is a list of description|pattern| pairs;
// its '|' are turned into zeros in place, so it must be writable. file's contents on entry
// are offered as the initial file name.
BOOL chooseFile(HWND owner, char* directory, DWORD directorySize, char* filter, char* fileTitle, DWORD fileTitleSize,
                char* file, DWORD fileSize, const char* caption, const char* defaultExtension);
