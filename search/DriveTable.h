// Which of the drive letters A to Z can be used, probed once per run.
#pragma once

class DriveTable {
public:
    // The drive number (1 for A) of the first available drive at index pos or after it,
    // or 0 when there is none. Probes the drives on the first call.
    int nextAvailableDrive(unsigned pos);

    // Makes every drive current in turn to learn which exist, then restores the current drive.
    void probeDrives();

    int probed = 0;
    unsigned char available[26] = {};
};

extern DriveTable driveTable;
