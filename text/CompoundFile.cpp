#include "text/CompoundFile.h"

#include <cstring>

#include "text/LittleEndian.h"
#include "text/AsciiCase.h"

namespace {

// The header's fields, by their offsets.
const std::size_t HEADER_MAJOR_VERSION = 0x1A;
const std::size_t HEADER_BYTE_ORDER = 0x1C;
const std::size_t HEADER_SECTOR_SHIFT = 0x1E;
const std::size_t HEADER_MINI_SECTOR_SHIFT = 0x20;
const std::size_t HEADER_FAT_SECTORS = 0x2C;
const std::size_t HEADER_FIRST_DIRECTORY_SECTOR = 0x30;
const std::size_t HEADER_FIRST_MINI_FAT_SECTOR = 0x3C;
const std::size_t HEADER_FIRST_DIFAT_SECTOR = 0x44;
const std::size_t HEADER_DIFAT = 0x4C;
const std::size_t HEADER_SIZE = 512;

// A directory entry's fields, by their offsets.
const std::size_t ENTRY_NAME_LENGTH = 0x40;
const std::size_t ENTRY_TYPE = 0x42;
const std::size_t ENTRY_LEFT = 0x44;
const std::size_t ENTRY_RIGHT = 0x48;
const std::size_t ENTRY_CHILD = 0x4C;
const std::size_t ENTRY_START = 0x74;
const std::size_t ENTRY_SIZE_LOW = 0x78;
const std::size_t ENTRY_SIZE_HIGH = 0x7C;

const std::uint32_t END_OF_CHAIN = 0xFFFFFFFEu;
const std::uint32_t NO_ENTRY = 0xFFFFFFFFu;
const std::size_t HEADER_DIFAT_ENTRIES = 109;
const std::size_t ENTRY_SIZE = 128;
const std::size_t MINI_SECTOR_SIZE = 64;
const std::uint64_t MINI_STREAM_CUTOFF = 4096;
const unsigned char TYPE_STREAM = 2;
const unsigned char TYPE_ROOT = 5;

// Follows table from start until the end-of-chain marker, or until maxCount units are in chain.
// Returns false on a unit outside [0, units) or one met twice (a loop).
bool walkChain(const std::vector<std::uint32_t>& table, std::uint32_t units, std::uint32_t start, std::size_t maxCount,
               std::vector<std::uint32_t>& chain)
{
    chain.clear();
    std::vector<bool> visited(units, false);
    std::uint32_t at = start;
    while (at != END_OF_CHAIN && chain.size() < maxCount) {
        if (at >= units || at >= table.size() || visited[at])
            return false;
        visited[at] = true;
        chain.push_back(at);
        at = table[at];
    }
    return true;
}

}  // namespace

bool CompoundFile::open(const unsigned char* bytes, std::size_t size)
{
    file = bytes;
    fileSize = size;
    fat.clear();
    miniFat.clear();
    miniStream.clear();
    entries.clear();
    if (bytes == nullptr || size < HEADER_SIZE || std::memcmp(bytes, COMPOUND_FILE_SIGNATURE, 8) != 0)
        return false;
    std::uint16_t major = read16(bytes + HEADER_MAJOR_VERSION);
    std::uint16_t shift = read16(bytes + HEADER_SECTOR_SHIFT);
    if (read16(bytes + HEADER_BYTE_ORDER) != 0xFFFE || read16(bytes + HEADER_MINI_SECTOR_SHIFT) != 6)
        return false;
    if (!((major == 3 && shift == 9) || (major == 4 && shift == 12)))
        return false;
    sectorSize = std::size_t{1} << shift;
    if (size <= sectorSize)
        return false;
    // Sectors that start inside the file; a last one cut short is read only as far as it goes.
    std::size_t count = (size - sectorSize + sectorSize - 1) / sectorSize;
    sectorCount = count > END_OF_CHAIN ? END_OF_CHAIN : static_cast<std::uint32_t>(count);
    return readFat() && readDirectory();
}

const unsigned char* CompoundFile::wholeSector(std::uint32_t number) const
{
    if (number >= sectorCount || (std::size_t{number} + 2) * sectorSize > fileSize)
        return nullptr;
    return file + (std::size_t{number} + 1) * sectorSize;
}

bool CompoundFile::readFat()
{
    // Each FAT sector is a distinct sector of the file, so there are no more of them than sectors.
    std::uint32_t fatSectors = read32(file + HEADER_FAT_SECTORS);
    if (fatSectors == 0 || fatSectors > sectorCount)
        return false;
    std::vector<std::uint32_t> where;
    where.reserve(fatSectors);
    for (std::size_t i = 0; i < HEADER_DIFAT_ENTRIES && where.size() < fatSectors; ++i)
        where.push_back(read32(file + HEADER_DIFAT + 4 * i));

    const std::size_t perDifat = sectorSize / 4 - 1;
    std::vector<bool> visited(sectorCount, false);
    std::uint32_t difat = read32(file + HEADER_FIRST_DIFAT_SECTOR);
    while (where.size() < fatSectors) {
        const unsigned char* sector = wholeSector(difat);
        if (sector == nullptr || visited[difat])
            return false;
        visited[difat] = true;
        for (std::size_t i = 0; i < perDifat && where.size() < fatSectors; ++i)
            where.push_back(read32(sector + 4 * i));
        difat = read32(sector + 4 * perDifat);
    }

    const std::size_t perSector = sectorSize / 4;
    fat.reserve(fatSectors * perSector);
    for (std::uint32_t sectorNumber : where) {
        const unsigned char* sector = wholeSector(sectorNumber);
        if (sector == nullptr)
            return false;
        for (std::size_t i = 0; i < perSector; ++i)
            fat.push_back(read32(sector + 4 * i));
    }
    return true;
}

bool CompoundFile::readDirectory()
{
    std::vector<std::uint32_t> chain;
    if (!walkChain(fat, sectorCount, read32(file + HEADER_FIRST_DIRECTORY_SECTOR), sectorCount, chain) || chain.empty())
        return false;
    const bool version3 = sectorSize == 512;
    const std::size_t perSector = sectorSize / ENTRY_SIZE;
    entries.reserve(chain.size() * perSector);
    for (std::uint32_t sectorNumber : chain) {
        const unsigned char* sector = wholeSector(sectorNumber);
        if (sector == nullptr)
            return false;
        for (std::size_t k = 0; k < perSector; ++k) {
            const unsigned char* raw = sector + k * ENTRY_SIZE;
            Entry entry{};
            std::size_t nameChars = read16(raw + ENTRY_NAME_LENGTH) / 2;
            for (std::size_t i = 0; i + 1 < nameChars && i + 1 < sizeof entry.name; ++i) {
                std::uint16_t c = read16(raw + 2 * i);
                entry.name[i] = c > 0 && c < 0x80 ? lowerAscii(static_cast<char>(c)) : '\x7f';
            }
            entry.type = raw[ENTRY_TYPE];
            entry.left = read32(raw + ENTRY_LEFT);
            entry.right = read32(raw + ENTRY_RIGHT);
            entry.child = read32(raw + ENTRY_CHILD);
            entry.start = read32(raw + ENTRY_START);
            entry.size = read32(raw + ENTRY_SIZE_LOW);
            if (!version3)
                entry.size |= std::uint64_t{read32(raw + ENTRY_SIZE_HIGH)} << 32;
            entries.push_back(entry);
        }
    }
    if (entries[0].type != TYPE_ROOT)
        return false;

    // The mini FAT and the mini stream; a file with no small streams has neither.
    std::uint32_t miniFatStart = read32(file + HEADER_FIRST_MINI_FAT_SECTOR);
    if (miniFatStart == END_OF_CHAIN)
        return true;
    if (!walkChain(fat, sectorCount, miniFatStart, sectorCount, chain))
        return false;
    miniFat.reserve(chain.size() * (sectorSize / 4));
    for (std::uint32_t sectorNumber : chain) {
        const unsigned char* sector = wholeSector(sectorNumber);
        if (sector == nullptr)
            return false;
        for (std::size_t i = 0; i < sectorSize / 4; ++i)
            miniFat.push_back(read32(sector + 4 * i));
    }
    return readChain(fat, entries[0].start, entries[0].size, false, miniStream);
}

bool CompoundFile::readChain(const std::vector<std::uint32_t>& table, std::uint32_t start, std::uint64_t size,
                             bool mini, std::vector<unsigned char>& out) const
{
    out.clear();
    const std::size_t unit = mini ? MINI_SECTOR_SIZE : sectorSize;
    const std::size_t sourceSize = mini ? miniStream.size() : fileSize;
    if (size > sourceSize)
        return false;
    const std::size_t units = mini ? (sourceSize + unit - 1) / unit : sectorCount;
    std::vector<std::uint32_t> chain;
    const std::size_t needed = static_cast<std::size_t>((size + unit - 1) / unit);
    if (!walkChain(table, static_cast<std::uint32_t>(units), start, needed, chain) || chain.size() != needed)
        return false;
    const unsigned char* source = mini ? miniStream.data() : file;
    const std::size_t skip = mini ? 0 : sectorSize;
    out.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    for (std::uint32_t at : chain) {
        std::size_t offset = skip + std::size_t{at} * unit;
        std::size_t n = out.size() - done < unit ? out.size() - done : unit;
        if (offset > sourceSize || sourceSize - offset < n) {
            out.clear();
            return false;
        }
        std::memcpy(out.data() + done, source + offset, n);
        done += n;
    }
    return true;
}

const CompoundFile::Entry* CompoundFile::findInRoot(const char* name) const
{
    if (entries.empty())
        return nullptr;
    std::vector<bool> visited(entries.size(), false);
    std::vector<std::uint32_t> pending{entries[0].child};
    while (!pending.empty()) {
        std::uint32_t id = pending.back();
        pending.pop_back();
        if (id == NO_ENTRY || id >= entries.size() || visited[id])
            continue;
        visited[id] = true;
        const Entry& entry = entries[id];
        std::size_t i = 0;
        while (i < sizeof entry.name && name[i] != '\0' && entry.name[i] == lowerAscii(name[i]))
            ++i;
        if (entry.type == TYPE_STREAM && i < sizeof entry.name && name[i] == '\0' && entry.name[i] == '\0')
            return &entry;
        pending.push_back(entry.left);
        pending.push_back(entry.right);
    }
    return nullptr;
}

bool CompoundFile::readStream(const char* name, std::vector<unsigned char>& out) const
{
    out.clear();
    const Entry* entry = findInRoot(name);
    if (entry == nullptr)
        return false;
    if (entry->size < MINI_STREAM_CUTOFF)
        return readChain(miniFat, entry->start, entry->size, true, out);
    return readChain(fat, entry->start, entry->size, false, out);
}
