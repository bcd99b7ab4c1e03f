#include <gtest/gtest.h>

#include <windows.h>
#include <direct.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "RegistryKeys.h"
#include "resources/ResourceModule.h"
#include "dialogs/BrowserDialog.h"
#include "resources/resource.h"
#include "support/TempTree.h"
#include "support/WindowDriver.h"

namespace {

using Lines = std::vector<std::string>;
const char BROWSER_CAPTION[] = "Launch Browser";
const char PAGE[] = "T:\\kd-page.htm";

std::string workingDirectory()
{
    char buffer[1024];
    return _getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

// The stand-in browser, built next to this test program.
std::string standInBrowser()
{
    char module[MAX_PATH];
    std::string path(module, GetModuleFileNameA(nullptr, module, sizeof module));
    return path.substr(0, path.find_last_of('\\') + 1) + "stand_in_browser.exe";
}

HWND editOf(HWND dialog)
{
    return GetDlgItem(dialog, IDC_BROWSER_COMMAND);
}

void checkSaveBox(HWND dialog)
{
    SendMessageA(GetDlgItem(dialog, IDC_SAVE_DEFAULT), BM_CLICK, 0, 0);
}

// Presses Change Browser and answers the file dialog: with the file typed into its name box,
// or with Cancel for an empty file. Returns what the name box offered when it opened.
std::string changeBrowser(HWND dialog, const std::string& file)
{
    postCommand(dialog, IDC_SEARCH);
    HWND chooser = waitForDialog("Look for Browser");
    if (chooser == nullptr)
        return "no file dialog";
    const int fileNameBox = 0x47c;  // the name box of the platform's file dialog
    std::string offered = windowText(GetDlgItem(chooser, fileNameBox));
    SetDlgItemTextA(chooser, fileNameBox, file.c_str());
    PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(file.empty() ? IDCANCEL : IDOK, BN_CLICKED), 0);
    waitUntilGone(chooser);
    // Once the dialog has taken this, Change Browser has returned to it.
    SendMessageA(dialog, WM_NULL, 0, 0);
    return offered;
}

class BrowserDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        appInstance = GetModuleHandleA(nullptr);
        previousDirectory = workingDirectory();
        SetEnvironmentVariableA("KADREL_LAUNCH_RECORD", record.c_str());
    }
    void TearDown() override { _chdir(previousDirectory.c_str()); }

    void runBrowser(const char* path, const std::function<void(HWND)>& script)
    {
        DeleteFileA(record.c_str());
        EXPECT_TRUE(driveDialog(
            BROWSER_CAPTION, [&] { showBrowserDialog(nullptr, path); }, script));
    }

    // The lines the stand-in browser wrote: its command line, then its arguments. Empty when
    // it did not run within timeoutMs.
    Lines launchRecord(DWORD timeoutMs)
    {
        pumpUntil([&] { return GetFileAttributesA(record.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeoutMs);
        Lines lines;
        std::ifstream in(record, std::ios::binary);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    BrowserKeys keys;
    TempTree folder{"T:\\kd-browser"};  // removed after TearDown has left it as working directory
    const std::string record = folder.path("launch-record.txt");
    std::string previousDirectory;
};

TEST_F(BrowserDialogTest, OkStartsTheTypedCommandOnThePathAndSavesItUnlessCancelledOrTooLong)
{
    const std::string browser = standInBrowser() + " --new-window ";
    // The edit box text, the blank and the path take 4095 characters: the most that fits.
    const std::string fits = browser + std::string(4095 - 1 - std::strlen(PAGE) - browser.size(), 'x');
    const std::string blanks = "T:\\kd docs\\my page.htm";
    enum End { OK, CANCEL, CLOSE_BOX };
    const struct {
        const char* webPage;  // the only registry source present
        std::string typed;
        std::string path;
        End end;
        bool save;
        std::string started;  // the command line the browser got; empty: none
    } cases[] = {
        {"Z:\\web.exe", browser + "-x", PAGE, OK, true, browser + "-x " + PAGE},
        {nullptr, browser + "-x", blanks, OK, false, browser + "-x \"" + blanks + "\""},
        {"Z:\\web.exe", browser + "-x", PAGE, CANCEL, true, ""},
        {nullptr, browser + "-x", PAGE, CLOSE_BOX, true, ""},
        {"Z:\\web.exe", fits, PAGE, OK, false, fits + " " + PAGE},
        {"Z:\\web.exe", fits + "x", PAGE, OK, true, ""},
        {"Z:\\web.exe", browser + std::string(5000, 'x'), PAGE, OK, false, ""},  // over the buffer alone
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        ASSERT_TRUE(keys.set(nullptr, nullptr, c.webPage));
        std::string shown;
        bool saveBoxClear = false, closed = false;
        runBrowser(c.path.c_str(), [&](HWND dialog) {
            shown = windowText(editOf(dialog));
            saveBoxClear = IsDlgButtonChecked(dialog, IDC_SAVE_DEFAULT) == BST_UNCHECKED;
            setWindowText(editOf(dialog), c.typed);
            if (c.save)
                checkSaveBox(dialog);
            if (c.end == CLOSE_BOX)
                SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                sendCommand(dialog, c.end == OK ? IDOK : IDCANCEL);
            bool closes = c.end != OK || !c.started.empty();
            closed = pumpUntil([&] { return !IsWindowVisible(dialog); }, closes ? 5000 : 200);
        });
        EXPECT_EQ(c.webPage != nullptr ? c.webPage : "<<Unknown>>", shown);
        EXPECT_TRUE(saveBoxClear);
        EXPECT_EQ(c.end != OK || !c.started.empty(), closed) << "only a refused command leaves it open";
        Lines launched = launchRecord(c.started.empty() ? 1000 : 20000);
        EXPECT_EQ(c.started, launched.empty() ? "" : launched[0]);
        if (!c.started.empty()) {
            EXPECT_EQ(c.path, launched.back()) << "the path arrives as one argument";
        }
        std::string stored;
        bool saved = c.save && !c.started.empty();
        EXPECT_EQ(saved, readDefaultValue(BrowserKeys::OWN, &stored)) << stored;
        EXPECT_EQ(saved ? c.typed : "", stored) << "what starts is what is saved";
    }
}

TEST_F(BrowserDialogTest, ChangeBrowserShowsThePickOffersItAgainAndKeepsTheWorkingDirectory)
{
    // The file dialog opens where browsers usually live, which moves the working directory
    // only when that folder exists.
    std::unique_ptr<TempTree> browserFolder;
    if (GetFileAttributesA("C:\\Progra~1") == INVALID_FILE_ATTRIBUTES) {
        browserFolder.reset(new TempTree("C:\\Progra~1"));
        browserFolder->dir("Intern~1");
    }
    ASSERT_TRUE(keys.set(nullptr, nullptr, "Z:\\web.exe"));
    ASSERT_EQ(0, _chdir(folder.root().c_str()));
    Lines shown, directories;
    std::string offered;
    runBrowser(PAGE, [&](HWND dialog) {
        for (const std::string& pick : {std::string(), standInBrowser(), std::string()}) {
            offered = changeBrowser(dialog, pick);  // an empty pick cancels the file dialog
            shown.push_back(windowText(editOf(dialog)));
            directories.push_back(workingDirectory());
        }
        checkSaveBox(dialog);
        sendCommand(dialog, IDOK);
    });
    EXPECT_EQ((Lines{"Z:\\web.exe", standInBrowser(), standInBrowser()}), shown);
    EXPECT_EQ(Lines(3, folder.root()), directories);
    EXPECT_NE(std::string::npos, offered.find("stand_in_browser.exe")) << offered;
    std::string stored;
    EXPECT_TRUE(readDefaultValue(BrowserKeys::OWN, &stored));
    EXPECT_EQ(standInBrowser(), stored) << "the picked browser is what is saved";
    EXPECT_EQ((Lines{standInBrowser() + " " + PAGE, PAGE}), launchRecord(20000));
}

}  // namespace
