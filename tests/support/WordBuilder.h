// Small Word documents made in memory, laid out exactly as the test asks: the pieces of text,
// each 8-bit or UTF-16, the stories' lengths, the table stream's property records, the
// compound file's sector size and whether the FAT is found through an extra DIFAT sector.
// Word processors write only some of these layouts (one writes every piece as UTF-16), so
// the tests build the others. Header-only and free of <windows.h>, for the sanitizer build too.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct BuiltPiece {
    std::string bytes;  // one byte per character when compressed, else UTF-16LE
    bool compressed;
};

struct WordLayout {
    std::vector<BuiltPiece> pieces;
    std::vector<std::uint32_t> storyLengths;  // ccpText, ccpFtn, ccpHdd, ccpAtn, ccpEdn, ccpTxbx, ccpHdrTxbx
    bool propertyRecord = false;              // a Prc before the piece table
    unsigned sectorShift = 9;                 // 9: 512-byte sectors; 12: 4096
    bool extraDifat = false;                  // 110 FAT sectors, the last listed in a DIFAT sector
};

// Where the built compound file puts things (without the extra DIFAT sector): the FAT in
// sector 0, the directory in sector 1 (root, WordDocument, 1Table), the streams from sector 2
// on, each padded to the mini stream's cutoff so both lie in whole sectors; WordDocument first.
const std::size_t BUILT_TEXT_OFFSET = 0x400;  // in the WordDocument stream, after the FIB
const std::size_t BUILT_STREAM_SIZE = 0x1000;

inline void put16(std::string& s, std::size_t at, std::uint32_t v)
{
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>(v >> 8 & 0xFF);
}

inline void put32(std::string& s, std::size_t at, std::uint32_t v)
{
    put16(s, at, v & 0xFFFF);
    put16(s, at + 2, v >> 16);
}

inline std::uint32_t get32(const std::string& s, std::size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8 |
                                      static_cast<unsigned char>(s[at + 2]) << 16 |
                                      static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24);
}

inline std::pair<std::string, std::string> builtStreams(const WordLayout& layout)
{
    std::string word(BUILT_STREAM_SIZE, '\0');
    put16(word, 0x00, 0xA5EC);
    put16(word, 0x02, 0x00C1);
    put16(word, 0x0A, 0x0200);  // the table stream is 1Table
    put16(word, 0x20, 14);
    put16(word, 0x3E, 22);
    const std::size_t ccpAt[] = {0x4C, 0x50, 0x54, 0x5C, 0x60, 0x64, 0x68};
    for (std::size_t k = 0; k < layout.storyLengths.size() && k < 7; ++k)
        put32(word, ccpAt[k], layout.storyLengths[k]);
    put16(word, 0x98, 93);

    std::string table(BUILT_STREAM_SIZE, '\0');
    std::size_t at = 0;
    if (layout.propertyRecord) {
        table[at] = 0x01;
        put16(table, at + 1, 2);
        at += 5;
    }
    const std::size_t n = layout.pieces.size();
    table[at] = 0x02;
    put32(table, at + 1, static_cast<std::uint32_t>(4 + 12 * n));
    put32(word, 0x1A2, 0);
    put32(word, 0x1A6, static_cast<std::uint32_t>(5 + 4 + 12 * n + at));
    std::size_t cps = at + 5;
    std::size_t descriptors = cps + 4 * (n + 1);
    std::uint32_t cp = 0;
    std::size_t text = BUILT_TEXT_OFFSET;
    for (std::size_t i = 0; i < n; ++i) {
        const BuiltPiece& piece = layout.pieces[i];
        word.replace(text, piece.bytes.size(), piece.bytes);
        put32(table, cps + 4 * i, cp);
        put32(table, descriptors + 8 * i + 2,
              piece.compressed ? static_cast<std::uint32_t>(text * 2) | 0x40000000u : static_cast<std::uint32_t>(text));
        cp += static_cast<std::uint32_t>(piece.compressed ? piece.bytes.size() : piece.bytes.size() / 2);
        text += piece.bytes.size();
    }
    put32(table, cps + 4 * n, cp);
    return {word, table};
}

inline std::string builtDocument(const WordLayout& layout)
{
    const std::size_t sector = std::size_t{1} << layout.sectorShift;
    const std::size_t perFat = sector / 4;
    const std::pair<std::string, std::string> streams = builtStreams(layout);
    const std::uint32_t perStream = static_cast<std::uint32_t>(BUILT_STREAM_SIZE / sector);
    // With the extra DIFAT sector the directory and streams lie past the sectors the header's
    // 109 FAT sectors cover: sector 0 is a FAT sector of free entries listed 109 times, sector 1
    // the DIFAT sector, and sector 2, listed there, the FAT sector that covers the rest.
    const std::uint32_t directorySector = layout.extraDifat ? static_cast<std::uint32_t>(109 * perFat) : 1;
    const std::uint32_t sectors = directorySector + 1 + 2 * perStream;
    std::string file(sector * (sectors + 1), '\0');
    auto at = [sector](std::size_t n) { return (n + 1) * sector; };
    auto fatEntry = [&](std::uint32_t n) {
        return layout.extraDifat ? at(2) + 4 * (n - directorySector) : at(0) + 4 * n;
    };

    const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    file.replace(0, 8, reinterpret_cast<const char*>(signature), 8);
    put16(file, 0x18, 0x3E);
    put16(file, 0x1A, layout.sectorShift == 9 ? 3 : 4);
    put16(file, 0x1C, 0xFFFE);
    put16(file, 0x1E, layout.sectorShift);
    put16(file, 0x20, 6);
    put32(file, 0x2C, layout.extraDifat ? 110 : 1);
    put32(file, 0x30, directorySector);
    put32(file, 0x38, 4096);
    put32(file, 0x3C, 0xFFFFFFFE);
    put32(file, 0x44, layout.extraDifat ? 1 : 0xFFFFFFFE);
    put32(file, 0x48, layout.extraDifat ? 1 : 0);
    for (std::size_t i = 0; i < 109; ++i)
        put32(file, 0x4C + 4 * i, layout.extraDifat || i == 0 ? 0 : 0xFFFFFFFF);
    for (std::size_t i = 0; i < perFat; ++i) {
        put32(file, at(0) + 4 * i, 0xFFFFFFFF);
        if (layout.extraDifat) {
            put32(file, at(1) + 4 * i, 0xFFFFFFFF);
            put32(file, at(2) + 4 * i, 0xFFFFFFFF);
        }
    }
    if (layout.extraDifat) {
        put32(file, at(1), 2);
        put32(file, at(1) + sector - 4, 0xFFFFFFFE);
    } else {
        put32(file, at(0), 0xFFFFFFFD);
    }
    put32(file, fatEntry(directorySector), 0xFFFFFFFE);
    for (std::uint32_t k = 0; k < 2 * perStream; ++k) {
        std::uint32_t n = directorySector + 1 + k;
        put32(file, fatEntry(n), k % perStream == perStream - 1 ? 0xFFFFFFFE : n + 1);
    }

    const std::size_t directory = at(directorySector);
    const char* names[] = {"Root Entry", "WordDocument", "1Table"};
    for (std::size_t e = 0; e < sector / 128; ++e) {
        std::size_t entry = directory + 128 * e;
        put32(file, entry + 0x44, 0xFFFFFFFF);
        put32(file, entry + 0x48, 0xFFFFFFFF);
        put32(file, entry + 0x4C, 0xFFFFFFFF);
        if (e >= 3)
            continue;
        std::string name = names[e];
        for (std::size_t i = 0; i < name.size(); ++i)
            put16(file, entry + 2 * i, static_cast<unsigned char>(name[i]));
        put16(file, entry + 0x40, static_cast<std::uint32_t>(2 * name.size() + 2));
        file[entry + 0x42] = e == 0 ? 5 : 2;
        put32(file, entry + 0x74,
              e == 0 ? 0xFFFFFFFE : directorySector + 1 + static_cast<std::uint32_t>(e - 1) * perStream);
        put32(file, entry + 0x78, e == 0 ? 0 : static_cast<std::uint32_t>(BUILT_STREAM_SIZE));
    }
    put32(file, directory + 0x4C, 1);        // root's child: WordDocument
    put32(file, directory + 128 + 0x48, 2);  // its right sibling: 1Table
    file.replace(at(directorySector + 1), BUILT_STREAM_SIZE, streams.first);
    file.replace(at(directorySector + 1 + perStream), BUILT_STREAM_SIZE, streams.second);
    return file;
}
