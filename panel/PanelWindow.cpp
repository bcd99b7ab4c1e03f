#include "panel/PanelWindow.h"

std::atomic<HWND> panelWindow{nullptr};
PanelControls panelControls = {};

bool onPanelThread(HWND panel)
{
    return GetWindowThreadProcessId(panel, nullptr) == GetCurrentThreadId();
}

bool sentToPanelThread(HWND panel, UINT message)
{
    if (onPanelThread(panel))
        return false;
    SendMessageA(panel, message, 0, 0);
    return true;
}
