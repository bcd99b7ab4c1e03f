#include <windows.h>
#include <commctrl.h>

#include "app/MainWindow.h"
#include "app/WindowSetup.h"
#include "panel/SearchThread.h"
#include "platform/CodePageLetters.h"
#include "platform/ErrorBox.h"

// The command line is not used.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR, int showCommand)
{
    appInstance = instance;
    // Before any window: every search and render cuts words by the code page's letters.
    wordTable = systemWordTable();
    // The manifest asks for version 6 of the common controls, the themed ones; loading them
    // before the first window makes sure every standard control comes from there.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    windowSetup.previousInstance = previousInstance;
    windowSetup.showCommand = showCommand;
    if (previousInstance == nullptr && registerMainClass() == 0)
        return 0;
    createMainWindow();
    if (MainWindow == nullptr)
        return 0;  // nothing would ever post the quit message the loop waits for
    int exitCode = runMessageLoop();
    // A search thread may still be reading a file, or waiting on one of its boxes. Returning
    // would destroy the program's static objects while it still works through them (the
    // walker's enumeration and read block among them); ending the process here ends the
    // thread first, at once.
    if (searchThreadsAlive() != 0)
        ExitProcess(static_cast<UINT>(exitCode));
    return exitCode;
}
