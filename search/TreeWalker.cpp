#include "search/TreeWalker.h"

#include <windows.h>
#include <cstring>
#include <memory>
#include <new>

#include "search/FileNames.h"
#include "text/FileKind.h"
#include "text/TextBuffer.h"
#include "text/AsciiCase.h"

namespace {

// The file type dialog's choice that lets each ending through.
struct Extension {
    std::atomic<int> FileTypeSet::*flag;
    Ending ending;
};
const Extension EXTENSIONS[] = {
    {&FileTypeSet::htm, Ending::HTM},
    {&FileTypeSet::txt, Ending::TXT},
    {&FileTypeSet::rtf, Ending::RTF},
    {&FileTypeSet::doc, Ending::DOC},
};

// Lower-cases the last four characters of text in place: the ending as the list shows it.
void lowerEnding(char* text)
{
    std::size_t n = std::strlen(text);
    for (std::size_t i = n < 4 ? 0 : n - 4; i < n; ++i)
        text[i] = lowerAscii(text[i]);
}

// Whether the last four characters of name, in any letter case, are the extension of a
// selected file kind. The flags are read afresh for every name, so a change from the file
// type dialog applies from the next entry.
bool hasSelectedExtension(const char* name)
{
    Ending ending = endingOf(name);
    for (const Extension& extension : EXTENSIONS) {
        if (extension.ending == ending && (fileTypeSet.*extension.flag).load() != 0)
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

TreeWalker::TreeWalker(ResultSink& results, TreeWalker& parent, const FolderIdentity& identity, bool belowLink)
    : matcher(nullptr, &parent.matcher.block()), results(results), parent(&parent), identity(identity),
      identityAsked(identity.known), belowLink(belowLink)
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
        // folder is never its own ancestor as long as the walk has not gone through a link.
        // Once it has, a plain folder can be one the walk started in: a link to ".." leads
        // to the parent of the starting folder, whose plain child is that folder again.
        // Asking a folder's identity costs more than opening and reading two small files,
        // so plain folders above every link are not asked.
        FolderIdentity childIdentity;
        bool isLink = (cursor.currentEntry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (isLink || belowLink) {
            childIdentity = identifyFolder(childPath);
            if (isOnPath(childIdentity))
                continue;
        }
        std::unique_ptr<TreeWalker> child(new (std::nothrow)
                                              TreeWalker(results, *this, childIdentity, isLink || belowLink));
        if (!child)
            continue;  // no memory for another level: that subtree is left out
        child->searchDirectory(childPath, query, recurse);
    }
}

void TreeWalker::searchFile(const char* dir, const char* name, const char* query)
{
    // The file is opened by the name its folder gave: a name whose case differs would make
    // the file system look the folder through for it (Wine does, for every file), and opens
    // nothing at all in a folder that tells letter case apart.
    char filePath[PATH_CAPACITY];
    if (!joinPath(filePath, sizeof filePath, dir, name))
        return;  // too long to be a path: not searched
    // A stop ends the scan of a file that would never end, and the file is not listed.
    int found = matcher.scanFile(filePath, query, 0, &searchActive);
    if (found > 0) {
        char listed[PATH_CAPACITY];
        copyText(listed, sizeof listed, filePath);
        lowerEnding(listed);
        results.add(listed, filePath);
    } else if (found < 0 && matcher.cancelledByUser)
        searchActive = 0;  // Cancel on the box stops the search, as the Stop button does
}
