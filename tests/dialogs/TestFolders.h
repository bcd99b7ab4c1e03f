// Folders and files a test makes on a real drive and removes again when it ends.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class TestFolders {
public:
    TestFolders() = default;
    ~TestFolders();
    TestFolders(const TestFolders&) = delete;
    TestFolders& operator=(const TestFolders&) = delete;

    // Parents come before their children; what was made goes again in reverse order. A
    // folder that was there already counts as made, but is left in place.
    bool addFolder(const std::string& path);
    bool addFile(const std::string& path);

private:
    std::vector<std::pair<std::string, bool>> made;  // path, is a folder
};
