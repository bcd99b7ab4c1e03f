#include "search/TreeWalker.h"

#include <windows.h>
#include <cstring>
#include <memory>
#include <new>

#include "search/TextBuffer.h"
#include "search/WordRules.h"

namespace {

// The extensions a file name is tested against, in this order.
struct Extension {
    std::atomic<int> FileTypeSet::*flag;
    const char* text;
};
const Extension EXTENSIONS[] = {
    {&FileTypeSet::htm, ".htm"},
    {&FileTypeSet::txt, ".txt"},
    {&FileTypeSet::rtf, ".rtf"},
    {&FileTypeSet::doc, ".doc"},
};

// Lower-cases the last four characters of name in place and tells whether they are the
// extension of a selected file kind. The flags are read afresh for every name, so a change
// from the file type dialog applies from the next entry.
bool hasSelectedExtension(char* name)
{
    std::size_t n = std::strlen(name);
    if (n < 4)
        return false;
    char* tail = name + n - 4;
    for (int i = 0; i < 4; ++i)
        tail[i] = lowerAscii(tail[i]);
    for (const Extension& extension : EXTENSIONS) {
        if ((fileTypeSet.*extension.flag).load() != 0 && std::memcmp(tail, extension.text, 4) == 0)
            return true;
    }
    return false;
}

// Gives the rest of the time slice away, then tells whether the search should go on.
bool stillSearching()
{
    Sleep(0);
    return searchActive.load() != 0;
}

}  // namespace

TreeWalker::TreeWalker(ResultSink& results) : results(results) {}

TreeWalker::TreeWalker(ResultSink& results, TreeWalker& parent, const FolderIdentity& identity)
    : matcher(nullptr, &parent.matcher.block()), results(results), parent(&parent), identity(identity),
      identityAsked(identity.known)
{
}

bool TreeWalker::isOnPath(const FolderIdentity& folder)
{
    for (TreeWalker* level = this; level != nullptr; level = level->parent) {
        if (!level->identityAsked) {
            level->identity = identifyFolder(level->cursor.path);
            level->identityAsked = true;
        }
        if (level->identity.sameAs(folder))
            return true;
    }
    return false;
}

void TreeWalker::searchDirectory(const char* dir, const char* query, int recurse)
{
    if (searchActive.load() == 0)
        return;
    if (!cursor.setPath(dir))
        return;  // longer than a path can be: nothing here is searched
    // From here on the level works from its own copy of the path. The top of a walk is
    // used again for the next search, which may start from another folder.
    if (parent == nullptr)
        identityAsked = false;
    cursor.openEnumeration();

    for (char* name = cursor.nextEntry(); name != nullptr; name = cursor.nextEntry()) {
        if (!stillSearching())
            return;
        // A folder is never opened as a file, whatever its name ends in; the directory
        // pass searches it like any other.
        bool isFolder = (cursor.currentEntry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!isFolder && hasSelectedExtension(name))
            searchFile(cursor.path, name, query);
    }
    if (!recurse)
        return;

    cursor.openEnumeration();
    for (char* name = cursor.nextDirectory(); name != nullptr; name = cursor.nextDirectory()) {
        if (!stillSearching())
            return;
        if (std::strcmp(name, "..") == 0 || std::strcmp(name, ".") == 0)
            continue;
        char childPath[PATH_CAPACITY];
        // A child whose path would be too long is skipped.
        if (!joinPath(childPath, sizeof childPath, cursor.path, name))
            continue;
        // A link back to a folder this walk is already inside would search the same files
        // again, level after level; two such links would double the work at every level.
        // Only a link (a symbolic link, a junction, a mount point) can lead back: a plain
        // folder is never its own ancestor. Under Wine, asking a folder's identity costs more
        // than opening and reading two small files, so plain folders are not asked.
        FolderIdentity childIdentity;
        if ((cursor.currentEntry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            childIdentity = identifyFolder(childPath);
            if (isOnPath(childIdentity))
                continue;
        }
        std::unique_ptr<TreeWalker> child(new (std::nothrow) TreeWalker(results, *this, childIdentity));
        if (!child)
            continue;  // no memory for another level: that subtree is left out
        child->searchDirectory(childPath, query, recurse);
    }
}

void TreeWalker::searchFile(const char* dir, const char* name, const char* query)
{
    char filePath[PATH_CAPACITY];
    if (!joinPath(filePath, sizeof filePath, dir, name))
        return;  // too long to be a path: not searched
    int found = matcher.scanFile(filePath, query, 0);
    if (found > 0)
        results.add(filePath);
    else if (found < 0 && matcher.cancelledByUser)
        searchActive = 0;  // Cancel on the box stops the search, as the Stop button does
}
