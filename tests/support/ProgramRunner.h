// Runs the real program in a process of its own and drives it from outside, as a user's
// clicks would, for the tests of how it starts, searches and ends.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

// relative, taken from the folder of the running test program.
std::string besideThisTest(const std::string& relative);

// Starts program in directory (the test's own when null), lets act drive its main window,
// then closes it with message and wParam. Returns its exit code; a program that does not
// appear or end fails the test.
DWORD runProgramAndClose(const std::string& program, UINT message, WPARAM wParam, const char* directory = nullptr,
                         const std::function<void(HWND window, DWORD processId)>& act = {});

// The running program's search panel, once the window has one.
HWND panelOf(HWND window);

// Types text into the running program's search box and presses its search button.
void startSearchIn(HWND window, const char* text);
