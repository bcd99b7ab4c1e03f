#include "app/WindowSetup.h"

HINSTANCE appInstance = nullptr;
HMENU mainMenu = nullptr;
