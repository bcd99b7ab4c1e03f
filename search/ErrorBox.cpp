#include "search/ErrorBox.h"

HWND MainWindow = nullptr;

void showErrorBox(const char* text, const char* caption)
{
    MessageBoxA(MainWindow, text, caption, MB_OKCANCEL);
}
