#include <windows.h>

#include "app/MainWindow.h"
#include "app/WindowSetup.h"

// The command line is not used.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR, int showCommand)
{
    appInstance = instance;
    windowSetup.previousInstance = previousInstance;
    windowSetup.showCommand = showCommand;
    if (previousInstance == nullptr && registerMainClass() == 0)
        return 0;
    createMainWindow();
    if (MainWindow == nullptr)
        return 0;  // nothing would ever post the quit message the loop waits for
    return runMessageLoop();
}
