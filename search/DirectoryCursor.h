// One directory, and one enumeration of its entries read an entry at a time.
#pragma once
#include <windows.h>
#include "platform/ScopedOwners.h"
#include "search/SearchState.h"

class DirectoryCursor {
public:
    DirectoryCursor();

    // Points the cursor at a directory of at most 259 characters and rebuilds the pattern.
    // A longer text is refused: the path stays as it was and false comes back.
    bool setPath(const char* text);

    // setPath with the process's working directory, by its short name when the ANSI code
    // page cannot hold its long one. When the working directory cannot be read (or is too
    // long) the path is left as it was and false comes back.
    bool setToWorkingDirectory();

    // Moves the path for an entry as the directory picker lists it: ".." goes up, a drive
    // entry (".D:") goes to that drive's root, anything else goes down into that child.
    // A child whose path would not fit is refused: the path stays and false comes back.
    // The pattern is rebuilt in every case. Opens no enumeration.
    bool navigate(const char* entry);

    // Starts a fresh enumeration of the path, releasing any held one. A directory's "." entry,
    // which the platform yields first, is consumed here and never handed out. A drive's root
    // has no "." entry: there the first entry is kept for the first advance, so no file or
    // folder of a root is ever passed over. Returns false when the directory cannot be
    // enumerated; every advance then yields none.
    bool openEnumeration();

    // The next entry's name, or nullptr at the end (or on any error). The name lives in
    // currentEntry until the next advance or open.
    //
    // The name is one that opens this entry and no other. An entry whose long name the ANSI
    // code page cannot hold exactly (no "?" for a missing character, no look-alike such as
    // "A" for a macron A) is named by its short 8.3 name instead, and so is one whose long
    // name is a device's ("aux.txt") or cannot stand in a Windows path at all ("a*b.txt",
    // "tdot.": see isUsableName). An entry with no such name to fall back on is passed
    // over: an ANSI program cannot reach it. So is a file whose short name does not end in
    // the same four characters as its long name, since those tell the file's kind.
    char* nextEntry();

    // Like nextEntry, passing over everything that is not a directory.
    char* nextDirectory();

    char path[PATH_CAPACITY];
    char pattern[PATH_CAPACITY + 4];  // path, a separator and "*.*"
    WIN32_FIND_DATAA currentEntry;
    FindHandle findHandle;

private:
    void rebuildPattern();
    char* advance(bool directoriesOnly);
    // Fills currentEntry from a wide entry; false when the entry has no name that reaches it.
    bool takeEntry(const WIN32_FIND_DATAW& found);

    bool firstEntryPending = false;  // currentEntry holds an entry not yet handed out
};

// Whether entry is a drive entry as the directory picker lists them: a dot, a letter, a colon.
bool isDriveEntry(const char* entry);

// The directory every search starts from.
extern DirectoryCursor searchRoot;
