// A folder of real files for one test, removed again when the test ends.
#pragma once
#include <string>
#include <vector>

class TempTree {
public:
    // A fresh, empty folder: under the system's temporary folder, or at root when given
    // (whatever was there before is removed first).
    explicit TempTree(const std::string& root = std::string());
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& root() const { return rootPath; }
    // root, a backslash and relative (forward slashes in relative become backslashes).
    std::string path(const std::string& relative) const;

    // Makes a folder, and the folders above it, below root.
    void dir(const std::string& relative) const;
    // Writes content byte for byte (binary), making the folders above it first.
    void file(const std::string& relative, const std::string& content) const;
    // Writes a file as file() does and holds it open with no sharing, so that opening it
    // fails, until unlock() or the end of the tree. Returns whether it is held.
    bool lockedFile(const std::string& relative, const std::string& content);
    void unlock();

private:
    std::string rootPath;
    std::vector<void*> locks;
};

// Removes a folder and everything in it; a missing folder is fine.
void removeTree(const std::string& path);
