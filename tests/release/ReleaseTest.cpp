// The release as a user gets it: the program unpacked from the zip (into release-test\ next
// to this test's folder) and the program the installer put into Program Files, each started,
// made to search a small folder, read back and closed.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "support/ProgramRunner.h"
#include "support/TempTree.h"
#include "support/WindowDriver.h"

namespace {

const char INSTALLED_PROGRAM[] = "C:\\Program Files\\Kadrel Text Search\\KadrelSearch.exe";

// Text from a control of another process. The system carries these messages across in their
// wide form (Wine hands the single-byte forms back as wide text), so they are asked for so.
std::string narrow(const wchar_t* wide)
{
    char text[4096] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

std::vector<std::string> itemsOf(HWND list)
{
    std::vector<std::string> items;
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t item[1024] = L"";
        if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < 1024)
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
        items.push_back(narrow(item));
    }
    return items;
}

std::string textOf(HWND control)
{
    wchar_t text[4096] = L"";
    SendMessageW(control, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
    return narrow(text);
}

// The program as the zip and as the installer deliver it.
TEST(Release, UnpackedAndInstalledProgramsSearchShowTheMatchesAndEndWithCodeZero)
{
    TempTree tree;
    tree.file("b.txt", "no fruit here\n");
    tree.file("a.txt", "one line\nan apple a day\n");
    tree.file("sub\\c.htm", "<p>Apples</p>\n");
    tree.file("sub\\d.md", "apple\n");

    for (const std::string& program :
         {besideThisTest("..\\release-test\\KadrelSearch.exe"), std::string(INSTALLED_PROGRAM)}) {
        SCOPED_TRACE(program);
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(program.c_str())) << program;
        std::vector<std::string> found;
        std::string shown;
        DWORD code = runProgramAndClose(program, WM_CLOSE, 0, tree.root().c_str(), [&](HWND window, DWORD) {
            startSearchIn(window, "APPLE");
            HWND panel = panelOf(window);
            HWND list = GetDlgItem(panel, IDC_FILE_LIST);
            // The end of a search selects the first entry.
            EXPECT_TRUE(pumpUntil([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 0; }, 30000));
            found = itemsOf(list);
            shown = textOf(GetDlgItem(panel, IDC_MATCH_VIEW));
        });
        EXPECT_EQ((std::vector<std::string>{tree.path("a.txt"), tree.path("sub\\c.htm")}), found);
        EXPECT_EQ("2) an apple a day\n", shown);
        EXPECT_EQ(0u, code);
    }
}

std::string registryText(HKEY key, const char* name)
{
    char text[512] = "";
    DWORD size = sizeof text - 1;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS)
        return "";
    return text;
}

// The folder a shortcut starts its program in.
std::string workingDirectoryOf(const std::string& link)
{
    char folder[MAX_PATH] = "";
    IShellLinkA* shortcut = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shortcut))))
        return "(no shell link object)";
    IPersistFile* file = nullptr;
    wchar_t path[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, path, MAX_PATH);
    if (SUCCEEDED(shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(path, STGM_READ)))
            shortcut->GetWorkingDirectory(folder, MAX_PATH);
        file->Release();
    }
    shortcut->Release();
    return folder;
}

// The installer's other work: the Start menu's shortcut (for everyone, or where Wine puts it,
// the installing user's), which starts the program in the user's documents, and the entry
// under installed apps, which names the maker, the version of the program's version block,
// the folder and the icon, and removes the program.
TEST(Release, TheInstallerAddsAStartMenuShortcutAndAnEntryUnderInstalledApps)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    char documents[MAX_PATH] = "";
    ASSERT_EQ(S_OK, SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, documents));
    std::vector<std::string> shortcuts;
    for (int folder : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
        char path[MAX_PATH] = "";
        std::string link;
        if (SHGetFolderPathA(nullptr, folder, nullptr, 0, path) == S_OK)
            link = std::string(path) + "\\Kadrel Text Search.lnk";
        if (!link.empty() && GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES)
            shortcuts.push_back(workingDirectoryOf(link));
    }
    CoUninitialize();
    EXPECT_EQ(std::vector<std::string>{std::string(documents) + "\\"}, shortcuts);

    HKEY apps = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                            KEY_READ | KEY_WOW64_64KEY, &apps));
    std::vector<std::string> entries;
    char name[256];
    for (DWORD i = 0; RegEnumKeyA(apps, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
        HKEY entry = nullptr;
        if (RegOpenKeyExA(apps, name, 0, KEY_READ | KEY_WOW64_64KEY, &entry) != ERROR_SUCCESS)
            continue;
        if (registryText(entry, "DisplayName") == "Kadrel Text Search")
            entries.push_back(registryText(entry, "Publisher") + " | " + registryText(entry, "DisplayVersion") + " | " +
                              registryText(entry, "InstallLocation") + " | " + registryText(entry, "DisplayIcon") +
                              " | " + registryText(entry, "UninstallString"));
        RegCloseKey(entry);
    }
    RegCloseKey(apps);
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(0u, entries[0].find("Kadrel | 2.1.0.0 | C:\\Program Files\\Kadrel Text Search\\ | "
                                  "C:\\Program Files\\Kadrel Text Search\\KadrelSearch.exe,0 | MsiExec.exe /"))
        << entries[0];
}

// The manifest the shipped program carries, as the system reads it before the program runs.
TEST(Release, TheProgramCarriesItsManifestWithTheVersionBlocksVersion)
{
    std::string program = besideThisTest("..\\release-test\\KadrelSearch.exe");
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module) << program;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(nullptr, found);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    std::string manifest(bytes, SizeofResource(module, found));
    FreeLibrary(module);
    const char* const parts[] = {
        "name=\"Kadrel.TextSearch\" version=\"2.1.0.0\"",
        "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
        "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",  // 7
        "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",  // 8
        "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",  // 8.1
        "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",  // 10 and 11
        "WindowsSettings\">true/pm</dpiAware>",
        "WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>",
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
    };
    for (const char* part : parts)
        EXPECT_NE(std::string::npos, manifest.find(part)) << part;
}

}  // namespace
