#include "app/MainWindowHandle.h"

HWND MainWindow = nullptr;
short clientWidth = 0;
short clientHeight = 0;
