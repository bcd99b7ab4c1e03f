// Runs the real main window inside the test process and drives it with the messages a
// user's clicks produce. Shared by the main window and search panel tests.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "search/ErrorBox.h"
#include "support/TempTree.h"

// Dispatches the messages already waiting for this thread, the search thread's sent ones too.
void pumpPending();
// Keeps dispatching until done() holds or timeoutMs has passed. Returns done().
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 30000);

// Equally coloured text read back from the match view; 0 is the automatic colour.
struct ViewRun {
    std::string text;
    COLORREF colour;
    bool operator==(const ViewRun& other) const { return text == other.text && colour == other.colour; }
};
std::ostream& operator<<(std::ostream& out, const ViewRun& run);

// Each test gets a fresh main window with the options at their start values.
class ProgramTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void menu(UINT command) { SendMessageA(MainWindow, WM_COMMAND, command, 0); }
    void clickSearch();
    void typeSearchString(const std::string& text);
    void selectEntry(int index);
    bool waitUntilIdle();
    // Types text, starts a search and waits until its thread has ended.
    void searchFor(const std::string& text);

    std::vector<std::string> listEntries();
    std::vector<std::string> history();
    static std::string text(HWND window);
    std::vector<ViewRun> viewRuns();
};
