#include "TestFolders.h"

TestFolders::~TestFolders()
{
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        if (it->second)
            RemoveDirectoryA(it->first.c_str());
        else
            DeleteFileA(it->first.c_str());
    }
}

bool TestFolders::addFolder(const std::string& path)
{
    if (!CreateDirectoryA(path.c_str(), nullptr))
        return GetLastError() == ERROR_ALREADY_EXISTS;  // not ours to remove
    made.emplace_back(path, true);
    return true;
}

bool TestFolders::addFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    made.emplace_back(path, false);
    return true;
}
