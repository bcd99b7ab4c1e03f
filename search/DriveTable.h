// Which of the drive letters A to Z can be used, probed once per run.
#pragma once

class DriveTable {
public:
    // The drive number (1 for A) of the first available drive at index pos or after it,
    // or 0 when there is none. Probes the drives on the first call, whatever pos is.
    int nextAvailableDrive(unsigned pos);

    // Makes every drive current in turn to learn which exist, then puts the working
    // directory back as it was (drive and directory).
    void probeDrives();

    int probed = 0;
    unsigned char available[26] = {};  // index 0 for A; 1 when the drive could be made current
};

extern DriveTable driveTable;
