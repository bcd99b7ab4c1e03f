#include "dialogs/BrowserDialog.h"

#include <direct.h>
#include <cstring>

#include "resources/ResourceModule.h"
#include "platform/Beep.h"
#include "dialogs/BrowserCommand.h"
#include "dialogs/FileChooser.h"
#include "resources/resource.h"
#include "platform/ScopedOwners.h"
#include "text/TextBuffer.h"

namespace {

const std::size_t DIRECTORY_CAPACITY = 1024;

HWND browserEdit = nullptr;
HWND saveDefaultBox = nullptr;
// The file the dialog was opened for; read only when OK starts the browser.
const char* browserFilePath = "";

char savedDirectory[DIRECTORY_CAPACITY];
char chooserDirectory[DIRECTORY_CAPACITY];
// Kept between uses, so the file dialog offers the browser picked last.
char chosenFile[DIRECTORY_CAPACITY] = "";
char chosenFileTitle[DIRECTORY_CAPACITY];
// Writable: chooseFile turns its '|' into zeros the first time.
char browserFilter[] = "Executable Files (*.exe)|*.exe|All Files (*.*)|*.*|";
// Where browsers usually live; the file dialog opens there when it exists.
const char BROWSER_FOLDER[] = "C:\\Progra~1\\Intern~1";

char typedCommand[BROWSER_COMMAND_CAPACITY];
char launchLine[BROWSER_COMMAND_CAPACITY];

void showCommandText(const char* text)
{
    SendMessageA(browserEdit, EM_SETSEL, 0, -1);
    SendMessageA(browserEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

void onBrowserDialogInit(HWND dialog)
{
    browserEdit = GetDlgItem(dialog, IDC_BROWSER_COMMAND);
    saveDefaultBox = GetDlgItem(dialog, IDC_SAVE_DEFAULT);
    browserCommand.loadFromRegistry();
    showCommandText(browserCommand.text);
    SendMessageA(saveDefaultBox, BM_SETCHECK, BST_UNCHECKED, 0);
}

// Reads the edit box's one line into typedCommand. False when it is longer than the
// buffer holds: reading it cut would run a different command.
bool readTypedCommand()
{
    int length = GetWindowTextLengthA(browserEdit);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof typedCommand)
        return false;
    // EM_GETLINE finds the buffer's size in its first two bytes, which may lie anywhere.
    WORD capacity = static_cast<WORD>(sizeof typedCommand - 1);
    std::memcpy(typedCommand, &capacity, sizeof capacity);
    LRESULT copied = SendMessageA(browserEdit, EM_GETLINE, 0, reinterpret_cast<LPARAM>(typedCommand));
    if (copied < 0 || static_cast<std::size_t>(copied) >= sizeof typedCommand)
        return false;
    typedCommand[copied] = '\0';
    return true;
}

// OK: store the default if asked, then start the typed command on the file. A command
// line that does not fit is refused with a beep and the dialog stays open.
void onLaunch(HWND dialog)
{
    if (!readTypedCommand() || !composeLaunchCommand(launchLine, sizeof launchLine, typedCommand, browserFilePath)) {
        signalBeep();
        return;
    }
    // What is saved is what starts: the edit box's text, typed by hand or not.
    if (SendMessageA(saveDefaultBox, BM_GETCHECK, 0, 0) == BST_CHECKED) {
        // typedCommand has the same capacity as text, so the copy always fits.
        copyText(browserCommand.text, sizeof browserCommand.text, typedCommand);
        browserCommand.length = static_cast<int>(std::strlen(browserCommand.text));
        browserCommand.saveToRegistry();
    }
    WinExec(launchLine, SW_SHOW);
    EndDialog(dialog, 0);
}

void onChangeBrowser(HWND dialog)
{
    // The file dialog moves the working directory to wherever the user went; the rest of
    // the program expects it unchanged.
    ScopedWorkingDirectory keep(savedDirectory, sizeof savedDirectory);
    _chdir(BROWSER_FOLDER);
    if (chooseFile(dialog, chooserDirectory, sizeof chooserDirectory, browserFilter, chosenFileTitle,
                   sizeof chosenFileTitle, chosenFile, sizeof chosenFile, "Look for Browser", "exe")) {
        // chosenFile is far shorter than text, so the copy always fits.
        copyText(browserCommand.text, sizeof browserCommand.text, chosenFile);
        browserCommand.length = static_cast<int>(std::strlen(browserCommand.text));
        showCommandText(browserCommand.text);
    }
}

}  // namespace

INT_PTR showBrowserDialog(HWND owner, const char* path)
{
    browserFilePath = path != nullptr ? path : "";
    return DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_LAUNCH_BROWSER), owner, browserDialogProc, 0);
}

INT_PTR CALLBACK browserDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        onBrowserDialogInit(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            onLaunch(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_SEARCH:  // Change Browser in this dialog
            onChangeBrowser(dialog);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
