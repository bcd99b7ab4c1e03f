#include "app/WindowSetup.h"

WindowSetup windowSetup = {};
HINSTANCE appInstance = nullptr;
HMENU mainMenu = nullptr;
