#include "search/ErrorBox.h"

HWND MainWindow = nullptr;

int showErrorBox(const char* text, const char* caption)
{
    return MessageBoxA(MainWindow, text, caption, MB_OKCANCEL);
}
