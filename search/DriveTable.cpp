#include "search/DriveTable.h"

#include <windows.h>
#include <direct.h>

#include "search/SearchState.h"

DriveTable driveTable;

void DriveTable::probeDrives()
{
    // Changing to a drive sets the process's working directory to that drive's own current
    // directory, so the whole working directory is put back afterwards, not just the drive.
    char workingDirectory[PATH_CAPACITY];
    bool haveDirectory = _getcwd(workingDirectory, sizeof workingDirectory) != nullptr;
    int current = _getdrive();
    // An empty floppy or card reader must not make the system ask the user for a disk.
    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    for (int drive = 1; drive <= 26; ++drive)
        available[drive - 1] = _chdrive(drive) == 0 ? 1 : 0;
    SetErrorMode(previousMode);
    _chdrive(current);
    if (haveDirectory)
        _chdir(workingDirectory);
    probed = 1;
}

int DriveTable::nextAvailableDrive(unsigned pos)
{
    if (probed == 0)
        probeDrives();
    for (unsigned index = pos; index < 26; ++index) {
        if (available[index] != 0)
            return static_cast<int>(index) + 1;
    }
    return 0;
}
