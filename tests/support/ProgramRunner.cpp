#include "support/ProgramRunner.h"

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "support/WindowDriver.h"

std::string besideThisTest(const std::string& relative)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string folder = exe;
    return folder.substr(0, folder.rfind('\\')) + "\\" + relative;
}

DWORD runProgramAndClose(const std::string& program, UINT message, WPARAM wParam, const char* directory,
                         const std::function<void(HWND, DWORD)>& act)
{
    // Arguments are ignored: the program starts the same with them.
    std::string commandLine = "\"" + program + "\" /ignored argument";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, directory, &startup,
                        &process)) {
        ADD_FAILURE() << "cannot start " << program;
        return 0xFFFFFFFF;
    }
    HWND window = nullptr;
    bool appeared = pumpUntil(
        [&] {
            window = FindWindowA("Kadrel Text Search Program", nullptr);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            return owner == process.dwProcessId;
        },
        30000);
    if (appeared) {
        if (act)
            act(window, process.dwProcessId);
        PostMessageA(window, message, wParam, 0);
    }
    if (!appeared || WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << (appeared ? "the program did not end" : "the program's window did not appear");
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
    }
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

HWND panelOf(HWND window)
{
    // The window can be found while it is still being created, before its panel is there.
    HWND panel = nullptr;
    pumpUntil(
        [&] {
            panel = FindWindowExA(window, nullptr, "#32770", nullptr);
            return panel != nullptr && IsWindowVisible(window);
        },
        30000);
    return panel;
}

void startSearchIn(HWND window, const char* text)
{
    HWND panel = panelOf(window);
    ASSERT_NE(nullptr, panel) << "the program's search panel did not appear";
    SendMessageA(GetDlgItem(panel, IDC_SEARCH_STRING), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    HWND button = GetDlgItem(panel, IDC_SEARCH);
    PostMessageA(panel, WM_COMMAND, MAKEWPARAM(IDC_SEARCH, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}
