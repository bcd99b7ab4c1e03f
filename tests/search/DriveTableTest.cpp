#include <gtest/gtest.h>

#include <windows.h>
#include <direct.h>

#include <string>
#include <vector>

#include "search/DriveTable.h"

namespace {

std::string workingDirectory()
{
    char buffer[1024];
    return _getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

TEST(DriveTable, NextAvailableDriveNamesTheFirstDriveAtOrAfterThePosition)
{
    DriveTable table;
    table.probed = 1;  // as if the probe had found A, E and F
    table.available[0] = table.available[4] = table.available[5] = 1;
    const struct {
        unsigned pos;
        int drive;
    } cases[] = {{0, 1}, {1, 5}, {5, 6}, {6, 0}, {25, 0}, {26, 0}, {1000, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(c.drive, table.nextAvailableDrive(c.pos)) << "pos " << c.pos;

    // Scanned the way the directory picker does it: each answer is the next position.
    std::vector<int> scanned;
    for (int drive = table.nextAvailableDrive(1); drive != 0; drive = table.nextAvailableDrive(drive))
        scanned.push_back(drive);
    EXPECT_EQ((std::vector<int>{5, 6}), scanned);
}

TEST(DriveTable, FirstQuestionProbesTheRealDrivesWhateverThePosition)
{
    DriveTable table;
    EXPECT_EQ(0, table.nextAvailableDrive(26));
    EXPECT_EQ(1, table.probed);
    EXPECT_EQ(26, table.nextAvailableDrive(25)) << "Z:, the prefix's view of the whole file system";
    EXPECT_EQ(1, table.available['C' - 'A']);
    EXPECT_EQ(1, table.available['T' - 'A']) << "the test drive";
    DWORD mapped = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (table.available[i] != 0) {
            EXPECT_NE(0u, mapped & (1u << i)) << static_cast<char>('A' + i) << ": is no drive";
        }
    }
}

TEST(DriveTable, ProbeLeavesDriveAndDirectoryAsTheyWere)
{
    std::string before = workingDirectory();
    CreateDirectoryA("T:\\kd-probe", nullptr);
    CreateDirectoryA("T:\\kd-probe\\inner", nullptr);
    for (const char* start : {"T:\\kd-probe\\inner", "C:\\windows", "T:\\"}) {
        ASSERT_EQ(0, _chdir(start)) << start;
        std::string expected = workingDirectory();
        DriveTable table;
        table.probeDrives();
        EXPECT_EQ(expected, workingDirectory()) << "probed from " << start;
    }
    _chdir(before.c_str());
    RemoveDirectoryA("T:\\kd-probe\\inner");
    RemoveDirectoryA("T:\\kd-probe");
}

}  // namespace
