// Runs the real main window inside the test process and drives it with the messages a
// user's clicks produce. Shared by the main window and search panel tests.
#pragma once
#include <windows.h>
#include <richedit.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "platform/ErrorBox.h"
#include "support/Recorders.h"
#include "support/TempTree.h"
#include "support/WindowDriver.h"

// One character of the match view and the format it is shown in.
struct ViewCharacter {
    char text;
    CHARFORMATA format;
    COLORREF colour;  // 0 for the automatic colour
};

// The match view read back one character position at a time; the caret is left at the end.
std::vector<ViewCharacter> viewCharacters();

// Each test gets a fresh main window with the options at their start values.
class ProgramTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void menu(UINT command) { SendMessageA(MainWindow, WM_COMMAND, command, 0); }
    void clickSearch();
    void typeSearchString(const std::string& text);
    // Selects an entry as a click does and waits until its render is done.
    void selectEntry(int index);
    // Waits until no search thread is left and no render is under way.
    bool waitUntilIdle();
    // Renders the file for query as a selection does, waits until it is done and returns
    // the number of matching line words (-1 when it cannot be opened).
    int renderFile(const std::string& path, const char* query);
    // Types text, starts a search and waits until its thread has ended.
    void searchFor(const std::string& text);

    std::vector<std::string> listEntries();
    std::vector<std::string> history();
    // The match view's text in runs of one colour, read back from the control; 0 is the
    // automatic colour.
    std::vector<TextRun> viewRuns();
};
