#include "bench/ProgramWindow.h"

#include <windows.h>

#include <cstdio>

#include "app/MainWindow.h"
#include "app/WindowSetup.h"
#include "panel/SearchPanel.h"
#include "platform/CodePageLetters.h"
#include "platform/ErrorBox.h"

bool openProgramWindow(const char* program)
{
    appInstance = GetModuleHandleA(nullptr);
    wordTable = systemWordTable();
    windowSetup.showCommand = SW_SHOWNORMAL;
    if (registerMainClass() == 0) {
        std::fprintf(stderr, "%s: cannot register the main window's class\n", program);
        return false;
    }
    createMainWindow();
    if (MainWindow == nullptr || panelWindow.load() == nullptr) {
        std::fprintf(stderr, "%s: cannot create the main window and its panel\n", program);
        return false;
    }
    handlePendingMessages();
    return true;
}

void handlePendingMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void closeProgramWindow()
{
    DestroyWindow(MainWindow);
    handlePendingMessages();
}
