#include "search/DriveTable.h"

#include <windows.h>
#include <direct.h>

#include "platform/ScopedOwners.h"

DriveTable driveTable;

void DriveTable::probeDrives()
{
    // Changing to a drive sets the process's working directory to that drive's own current
    // directory, so the whole working directory is put back afterwards, not just the drive.
    // The buffer is larger than a path because the working directory is not ours to limit.
    // An empty floppy or card reader must not make the system ask the user for a disk.
    ScopedErrorMode quiet(SEM_FAILCRITICALERRORS);
    char workingDirectory[1024];
    ScopedWorkingDirectory keep(workingDirectory, sizeof workingDirectory);
    int current = _getdrive();
    for (int drive = 1; drive <= 26; ++drive)
        available[drive - 1] = _chdrive(drive) == 0 ? 1 : 0;
    // A working directory without a drive letter (a network share) gives drive 0, which the
    // newer runtimes treat as an invalid argument and end the process for.
    if (current >= 1 && current <= 26)
        _chdrive(current);
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
