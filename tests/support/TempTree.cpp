#include "support/TempTree.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

namespace {

std::string backslashed(std::string text)
{
    for (char& c : text) {
        if (c == '/')
            c = '\\';
    }
    return text;
}

std::string joined(const std::string& dir, const std::string& name)
{
    return !dir.empty() && dir.back() == '\\' ? dir + name : dir + "\\" + name;
}

void makeDirectories(const std::string& path)
{
    for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

}  // namespace

void removeTree(const std::string& path)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(joined(path, "*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = joined(path, name);
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    // A drive root is only emptied: removing it would remove the folder the drive stands for.
    if (path.size() > 3)
        RemoveDirectoryA(path.c_str());
}

TempTree::TempTree(const std::string& root)
{
    if (root.empty()) {
        static std::atomic<int> counter{0};
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        char name[64];
        std::snprintf(name, sizeof name, "kts%lu_%d", GetCurrentProcessId(), counter++);
        rootPath = std::string(temp) + name;
    } else {
        rootPath = backslashed(root);
    }
    removeTree(rootPath);
    makeDirectories(rootPath);
}

TempTree::~TempTree()
{
    unlock();
    removeTree(rootPath);
}

bool TempTree::lockedFile(const std::string& relative, const std::string& content)
{
    file(relative, content);
    HANDLE lock =
        CreateFileA(path(relative).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (lock == INVALID_HANDLE_VALUE)
        return false;
    locks.push_back(lock);
    return true;
}

void TempTree::unlock()
{
    for (void* lock : locks)
        CloseHandle(lock);
    locks.clear();
}

std::string TempTree::path(const std::string& relative) const
{
    if (relative.empty())
        return rootPath;
    return joined(rootPath, backslashed(relative));
}

void TempTree::dir(const std::string& relative) const
{
    makeDirectories(path(relative));
}

void TempTree::file(const std::string& relative, const std::string& content) const
{
    std::string full = path(relative);
    std::size_t slash = full.rfind('\\');
    if (slash != std::string::npos)
        makeDirectories(full.substr(0, slash));
    std::FILE* out = std::fopen(full.c_str(), "wb");
    if (out == nullptr)
        return;
    std::fwrite(content.data(), 1, content.size(), out);
    std::fclose(out);
}
