// Reads the streams of a compound file (the container of Word 97-2003 documents) held whole
// in memory. Every size and position taken from the file is checked against the file before use,
// every chain walk visits each sector at most once, and what open and readStream keep or hand
// out is bounded by a small multiple of the file's size: a corrupt or hostile file is a false,
// never a crash, a hang or a read outside the bytes given.
//
// The layout, all integers little-endian:
//
// Header, at offset 0 (512 bytes; a file of 4096-byte sectors pads it to 4096):
//   0x00  8  signature D0 CF 11 E0 A1 B1 1A E1
//   0x18  2  minor version, 0x003E          0x1A  2  major version: 3 or 4
//   0x1C  2  byte order mark, FFFE
//   0x1E  2  sector shift: 9 (512-byte sectors, version 3) or 12 (4096, version 4)
//   0x20  2  mini sector shift: 6 (64-byte mini sectors)
//   0x2C  4  number of FAT sectors
//   0x30  4  first directory sector
//   0x38  4  mini stream cutoff: 4096; a stream shorter than this lives in the mini stream
//   0x3C  4  first mini FAT sector          0x40  4  number of mini FAT sectors
//   0x44  4  first DIFAT sector             0x48  4  number of DIFAT sectors
//   0x4C  436  the first 109 DIFAT entries: the sector numbers of the FAT's sectors
// Sector n starts at byte (n + 1) * sector size. Each further DIFAT sector holds
// (sector size / 4 - 1) more FAT sector numbers and, in its last 4 bytes, the next DIFAT sector.
//
// The FAT holds, for every sector, the next sector of its chain, or one of the markers
// FFFFFFFE (end of chain), FFFFFFFF (free), FFFFFFFD (a FAT sector), FFFFFFFC (a DIFAT sector);
// numbers above FFFFFFFA are never sectors. The mini FAT does the same for the 64-byte mini
// sectors of the mini stream, which is the root entry's stream.
//
// Directory: the chain from the first directory sector, cut into 128-byte entries:
//   0x00  64  name, UTF-16LE, zero-terminated      0x40  2  name length in bytes, with the zero
//   0x42  1   type: 1 storage, 2 stream, 5 root    0x44  4  left sibling   0x48  4  right sibling
//   0x4C  4   child (the root of the storage's tree of entries; FFFFFFFF for none)
//   0x74  4   first sector                          0x78  8  stream size (version 3 files use only
//                                                             the low 4 bytes; some writers leave
//                                                             junk in the high ones)
// Entry 0 is the root storage. The entries of a storage form a tree through the siblings,
// reached from the storage's child.
//
// Limits: only streams directly inside the root storage can be read (all a Word document's
// text needs; an embedded document's own streams lie in storages below and are never taken
// for the document's), names are compared ASCII-case-insensitively, and the directory, FAT
// and mini FAT must lie whole within the file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The signature every compound file starts with.
const unsigned char COMPOUND_FILE_SIGNATURE[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

class CompoundFile {
public:
    // Reads the header, the FAT (through the DIFAT), the directory and the mini FAT of the
    // compound file in bytes[0, size). Returns false when they are not there whole and
    // consistent. bytes must outlive every readStream call.
    bool open(const unsigned char* bytes, std::size_t size);

    // Copies the stream named name (ASCII) that lies directly inside the root storage into
    // out. Returns false, with out empty, when there is no such stream or its chain does not
    // hold its size.
    bool readStream(const char* name, std::vector<unsigned char>& out) const;

private:
    struct Entry {
        std::uint32_t left;
        std::uint32_t right;
        std::uint32_t child;
        std::uint32_t start;
        std::uint64_t size;
        unsigned char type;
        char name[32];  // ASCII lower case; any other character as 0x7F, which no ASCII name holds
    };

    // The sector numbered number when it lies whole within the file, or null.
    const unsigned char* wholeSector(std::uint32_t number) const;
    bool readFat();
    bool readDirectory();
    bool readChain(const std::vector<std::uint32_t>& table, std::uint32_t start, std::uint64_t size, bool mini,
                   std::vector<unsigned char>& out) const;
    const Entry* findInRoot(const char* name) const;

    const unsigned char* file = nullptr;
    std::size_t fileSize = 0;
    std::size_t sectorSize = 512;
    std::uint32_t sectorCount = 0;  // sectors that start inside the file
    std::vector<std::uint32_t> fat;
    std::vector<std::uint32_t> miniFat;
    std::vector<unsigned char> miniStream;
    std::vector<Entry> entries;
};
