#include "app/MainWindow.h"

#include <algorithm>

#include "app/MenuCommands.h"
#include "app/WindowSetup.h"
#include "panel/PanelLayout.h"
#include "panel/SearchPanel.h"
#include "resources/resource.h"
#include "platform/ErrorBox.h"
#include "search/SearchState.h"
#include "text/TextBuffer.h"

namespace {

const COLORREF BACKGROUND_COLOUR = 0x004000;  // dark green

// WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN; not visible until ShowWindow.
const DWORD MAIN_WINDOW_STYLE = 0x02CF0000;
static_assert(MAIN_WINDOW_STYLE == (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN), "main window style");

void createPanel(HWND window)
{
    // MainWindow is not set yet while the window is being created: the panel gets the
    // window being created as its parent.
    CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_SEARCH_PANEL), window, searchPanelProc, 0);
}

void placePanel()
{
    // With no panel the handle is null and the call simply fails.
    MoveWindow(panelWindow.load(), 0, 0, clientWidth, clientHeight, TRUE);
}

// The default size can be too narrow for the panel's fixed controls on a small screen at a
// large scale: the window is widened as far as they need, within the screen.
void fitPanelControls(HWND window)
{
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    int missing = panelFixedWidth() - client.right;
    if (missing <= 0)
        return;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    int width = std::min<int>(frame.right - frame.left + missing, work.right - work.left);
    int x = std::max<int>(work.left, std::min<int>(frame.left, work.right - width));
    SetWindowPos(window, nullptr, x, frame.top, width, frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window moved to a screen of another scale: the panel scales first, so the new size's
// layout is made at the new scale, then the window takes the size the system suggests.
void onDpiChanged(HWND window, int dpi, const RECT* suggested)
{
    rescalePanel(dpi);
    if (suggested == nullptr)
        return;
    SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int customizeClass()
{
    WNDCLASSA& windowClass = windowSetup.windowClass;
    copyText(windowSetup.className, sizeof windowSetup.className, "Kadrel Text Search Program");
    windowClass.hbrBackground = CreateSolidBrush(BACKGROUND_COLOUR);
    mainMenu = LoadMenuA(appInstance, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    windowClass.hIcon = LoadIconA(appInstance, MAKEINTRESOURCEA(IDI_MAIN));
    return 0;
}

ATOM registerMainClass()
{
    copyText(windowSetup.className, sizeof windowSetup.className, "Default Application Name");

    WNDCLASSA& windowClass = windowSetup.windowClass;
    windowClass.style = 0;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = appInstance;
    windowClass.hIcon = nullptr;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = nullptr;  // the menu is attached when the window is created
    windowClass.lpszClassName = windowSetup.className;

    windowSetup.windowStyle = MAIN_WINDOW_STYLE;
    windowSetup.x = CW_USEDEFAULT;
    windowSetup.y = CW_USEDEFAULT;
    windowSetup.width = CW_USEDEFAULT;
    windowSetup.height = CW_USEDEFAULT;

    customizeClass();
    return RegisterClassA(&windowClass);
}

void createMainWindow()
{
    const WindowSetup& setup = windowSetup;
    MainWindow = CreateWindowExA(0, setup.className, setup.className, setup.windowStyle, setup.x, setup.y, setup.width,
                                 setup.height, nullptr, mainMenu, appInstance, nullptr);
    if (MainWindow == nullptr)
        return;
    setErrorBoxOwner(MainWindow);
    fitPanelControls(MainWindow);
    ShowWindow(MainWindow, setup.showCommand);
    UpdateWindow(MainWindow);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        createPanel(window);
        break;
    case WM_SIZE:
        clientWidth = static_cast<short>(LOWORD(lParam));
        clientHeight = static_cast<short>(HIWORD(lParam));
        placePanel();
        break;
    case WM_MOVE:
        placePanel();
        break;
    case WM_DPICHANGED:
        onDpiChanged(window, LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        break;
    case WM_DESTROY:
        // A running walk winds down instead of running into windows that are gone.
        searchActive = 0;
        setErrorBoxOwner(nullptr);
        PostQuitMessage(0);
        break;
    case WM_COMMAND:
        onMenuCommand(wParam, lParam);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int runMessageLoop()
{
    MSG message = {};
    // GetMessageA returns -1 on an error; ending there keeps the loop from spinning on it.
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(GetActiveWindow(), &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
