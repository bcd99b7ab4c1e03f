// Which folder a path leads to, whatever links it goes through: the volume and the file
// index, which two paths share exactly when they reach the same folder.
#pragma once
#include <windows.h>

struct FolderIdentity {
    bool known = false;  // false when the folder could not be opened to ask
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;

    // Two unknown identities are never the same folder.
    bool sameAs(const FolderIdentity& other) const
    {
        return known && other.known && volume == other.volume && indexHigh == other.indexHigh &&
               indexLow == other.indexLow;
    }
};

// Asks the file system for the identity of the folder at path. A folder that cannot be
// opened (no right to, gone) gives an unknown identity.
FolderIdentity identifyFolder(const char* path);
