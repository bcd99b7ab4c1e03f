#include <gtest/gtest.h>

#include <windows.h>
#include <direct.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "RegistryKeys.h"
#include "TestFolders.h"
#include "app/WindowSetup.h"
#include "dialogs/BrowserDialog.h"
#include "resources/resource.h"

namespace {

const char BROWSER_CAPTION[] = "Launch Browser";
const char CHOOSER_CAPTION[] = "Look for Browser";
const char RECORD[] = "T:\\kd-launch-record.txt";

std::string workingDirectory()
{
    char buffer[1024];
    return _getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

// The stand-in browser, built next to this test program.
std::string standInBrowser()
{
    char module[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
    std::string path(module, n);
    return path.substr(0, path.find_last_of('\\') + 1) + "stand_in_browser.exe";
}

// The lines the stand-in wrote: its command line, then its arguments. Empty when it did not
// run within timeoutMs.
std::vector<std::string> launchRecord(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (GetFileAttributesA(RECORD) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start > timeoutMs)
            return {};
        Sleep(20);
    }
    std::vector<std::string> lines;
    std::ifstream in(RECORD, std::ios::binary);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

HWND editOf(HWND dialog)
{
    return GetDlgItem(dialog, IDC_BROWSER_COMMAND);
}

bool saveBoxChecked(HWND dialog)
{
    return SendMessageA(GetDlgItem(dialog, IDC_SAVE_DEFAULT), BM_GETCHECK, 0, 0) == BST_CHECKED;
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
    HWND chooser = waitForDialog(CHOOSER_CAPTION);
    if (chooser == nullptr) {
        ADD_FAILURE() << "no file dialog";
        return "";
    }
    const int fileNameBox = 0x47c;  // the name box of the platform's file dialog
    std::string offered = windowText(GetDlgItem(chooser, fileNameBox));
    if (file.empty()) {
        PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    } else {
        SetDlgItemTextA(chooser, fileNameBox, file.c_str());
        PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    EXPECT_TRUE(waitUntilGone(chooser));
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
        DeleteFileA(RECORD);
        SetEnvironmentVariableA("KADREL_LAUNCH_RECORD", RECORD);
    }
    void TearDown() override
    {
        DeleteFileA(RECORD);
        _chdir(previousDirectory.c_str());
    }

    INT_PTR runBrowser(const char* path, const std::function<void(HWND)>& script)
    {
        INT_PTR result = -1;
        EXPECT_TRUE(driveDialog(BROWSER_CAPTION, [&] { result = showBrowserDialog(nullptr, path); }, script));
        return result;
    }

    BrowserKeys keys;
    std::string previousDirectory;
    TestFolders folders;  // removed after TearDown has left them as working directory
};

TEST_F(BrowserDialogTest, OpensWithTheLoadedCommandAndTheSaveBoxClear)
{
    const struct {
        const char* own;
        const char* shown;
    } cases[] = {{"Z:\\own.exe -x", "Z:\\own.exe -x"}, {nullptr, "<<Unknown>>"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(keys.set(c.own, nullptr, nullptr));
        std::string shown;
        bool checked = true;
        runBrowser("T:\\page.htm", [&](HWND dialog) {
            shown = windowText(editOf(dialog));
            checked = saveBoxChecked(dialog);
        });
        EXPECT_EQ(c.shown, shown);
        EXPECT_FALSE(checked);
    }
}

TEST_F(BrowserDialogTest, CancelAndTheCloseBoxSaveAndStartNothing)
{
    const std::function<void(HWND)> closers[] = {
        [](HWND dialog) { sendCommand(dialog, IDCANCEL); },
        [](HWND dialog) { SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (const auto& close : closers) {
        ASSERT_TRUE(keys.set(nullptr, nullptr, "Z:\\web.exe"));
        bool closed = false;
        INT_PTR result = runBrowser("T:\\page.htm", [&](HWND dialog) {
            setWindowText(editOf(dialog), standInBrowser());
            checkSaveBox(dialog);
            close(dialog);
            closed = waitUntilGone(dialog, 5000);
        });
        EXPECT_TRUE(closed);
        EXPECT_EQ(0, result);
        std::string stored;
        EXPECT_FALSE(readDefaultValue(BrowserKeys::OWN, &stored)) << "saved " << stored;
    }
    EXPECT_TRUE(launchRecord(1000).empty()) << "nothing was started";
}

TEST_F(BrowserDialogTest, OkStartsTheEditBoxTextWithThePathAppended)
{
    ASSERT_TRUE(keys.set("Z:\\loaded.exe", nullptr, nullptr));
    const std::string typed = standInBrowser() + " --new-window";
    const struct {
        const char* path;
        std::string appended;
    } cases[] = {
        {"T:\\kd-page.htm", "T:\\kd-page.htm"},
        {"T:\\kd docs\\my page.htm", "\"T:\\kd docs\\my page.htm\""},  // one argument
    };
    for (const auto& c : cases) {
        DeleteFileA(RECORD);
        bool closed = false;
        INT_PTR result = runBrowser(c.path, [&](HWND dialog) {
            setWindowText(editOf(dialog), typed);
            sendCommand(dialog, IDOK);
            closed = waitUntilGone(dialog, 5000);
        });
        EXPECT_TRUE(closed);
        EXPECT_EQ(0, result);
        EXPECT_EQ((std::vector<std::string>{typed + " " + c.appended, "--new-window", c.path}),
                  launchRecord(20000));
    }
}

TEST_F(BrowserDialogTest, SaveStoresTheLoadedCommandNotTheTypedOne)
{
    ASSERT_TRUE(keys.set(nullptr, nullptr, "Z:\\web.exe"));
    runBrowser("T:\\kd-page.htm", [&](HWND dialog) {
        setWindowText(editOf(dialog), standInBrowser());
        checkSaveBox(dialog);
        sendCommand(dialog, IDOK);
    });
    std::string stored;
    EXPECT_TRUE(readDefaultValue(BrowserKeys::OWN, &stored));
    EXPECT_EQ("Z:\\web.exe", stored);
    EXPECT_EQ((std::vector<std::string>{standInBrowser() + " T:\\kd-page.htm", "T:\\kd-page.htm"}),
              launchRecord(20000))
        << "the typed command is what runs";
}

TEST_F(BrowserDialogTest, CommandTooLongForItsBufferIsRefusedWholeNotCut)
{
    const std::string path = "T:\\kd-page.htm";
    const std::string browser = standInBrowser() + " ";
    // The edit box text, the blank and the path take 4095 characters: the most that fits.
    const std::string fits = browser + std::string(4095 - 1 - path.size() - browser.size(), 'x');
    const struct {
        std::string typed;
        bool started;
    } cases[] = {
        {fits, true},
        {fits + "x", false},
        {browser + std::string(5000, 'x'), false},  // longer than the buffer by itself
    };
    for (const auto& c : cases) {
        DeleteFileA(RECORD);
        bool stayedOpen = false;
        runBrowser(path.c_str(), [&](HWND dialog) {
            setWindowText(editOf(dialog), c.typed);
            sendCommand(dialog, IDOK);
            // A dialog that has ended is hidden at once, before it is destroyed.
            stayedOpen = IsWindowVisible(dialog) != FALSE;
        });
        EXPECT_EQ(!c.started, stayedOpen) << "a refused command leaves the dialog open";
        std::vector<std::string> record = launchRecord(c.started ? 20000 : 2000);
        if (c.started) {
            ASSERT_FALSE(record.empty());
            EXPECT_EQ(c.typed + " " + path, record[0]);
        } else {
            EXPECT_TRUE(record.empty()) << "started with " << record[0].size() << " characters";
        }
    }
}

TEST_F(BrowserDialogTest, ChangeBrowserTakesThePickedFileAndKeepsTheWorkingDirectory)
{
    // The folder Change Browser opens the file dialog in, so that it really moves the working
    // directory, as it does where a browser is installed there.
    ASSERT_TRUE(folders.addFolder("C:\\Progra~1"));
    ASSERT_TRUE(folders.addFolder("C:\\Progra~1\\Intern~1"));
    ASSERT_TRUE(folders.addFolder("T:\\kd-cwd"));
    const struct {
        std::string picked;  // empty: the file dialog is cancelled
        std::string shown;
    } cases[] = {{"", "Z:\\web.exe"}, {standInBrowser(), standInBrowser()}};
    for (const auto& c : cases) {
        ASSERT_TRUE(keys.set(nullptr, nullptr, "Z:\\web.exe"));
        ASSERT_EQ(0, _chdir("T:\\kd-cwd"));
        DeleteFileA(RECORD);
        std::string shown, directoryAfterwards;
        runBrowser("T:\\kd-page.htm", [&](HWND dialog) {
            changeBrowser(dialog, c.picked);
            shown = windowText(editOf(dialog));
            directoryAfterwards = workingDirectory();
            checkSaveBox(dialog);
            sendCommand(dialog, IDOK);
        });
        SCOPED_TRACE(c.picked.empty() ? "cancelled" : "picked");
        EXPECT_EQ(c.shown, shown);
        EXPECT_EQ("T:\\kd-cwd", directoryAfterwards);
        std::string stored;
        EXPECT_TRUE(readDefaultValue(BrowserKeys::OWN, &stored));
        EXPECT_EQ(c.shown, stored) << "the loaded or picked browser is what is saved";
        if (!c.picked.empty()) {
            EXPECT_EQ((std::vector<std::string>{c.picked + " T:\\kd-page.htm", "T:\\kd-page.htm"}),
                      launchRecord(20000));
        }
    }
}

TEST_F(BrowserDialogTest, SecondChangeBrowserOffersTheLastPick)
{
    ASSERT_TRUE(keys.set("Z:\\loaded.exe", nullptr, nullptr));
    std::string offered;
    runBrowser("T:\\kd-page.htm", [&](HWND dialog) {
        changeBrowser(dialog, standInBrowser());
        offered = changeBrowser(dialog, "");
    });
    EXPECT_NE(std::string::npos, offered.find("stand_in_browser.exe")) << offered;
}

} // namespace
