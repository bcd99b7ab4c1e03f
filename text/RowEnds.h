// Which paragraph marks of a Word 97-2003 document end a table row: the cell mark 0x07 ends
// both a cell and, as the last one of a row, the row, and only the paragraph's properties
// tell the two apart.
//
// The properties of paragraphs are found through the bin table at (fcPlcfBtePapx,
// lcbPlcfBtePapx), pair [13] of the FIB's fibRgFcLcb (0x0102 in a Word 97 file), in the table
// stream: n + 1 stream offsets (32-bit), then n 32-bit page numbers (low 22 bits),
// n = (lcb - 4) / 8. Each page number pn names a 512-byte page at pn * 512 of the WordDocument
// stream, a PapxFkp:
//   byte 511      crun, the number of runs (1-29)
//   0             crun + 1 stream offsets (32-bit): run k is the paragraphs whose marks lie
//                 in [rgfc[k], rgfc[k + 1])
//   4 (crun + 1)  crun entries of 13 bytes; the first byte of each, times 2, is where the
//                 run's properties lie in the page (0: none)
// The properties: a byte cb; if cb is not 0, 2 cb - 1 bytes follow, else a byte cb' and
// 2 cb' bytes. They start with a 16-bit style number, then sprms: a 16-bit code whose top
// three bits (spra) give the operand's size: 0 and 1: 1 byte; 2, 4 and 5: 2; 3: 4; 7: 3;
// 6: a size byte, then that many bytes, except sprmTDefTable (0xD608), whose size is 16-bit
// and counts itself less one, and sprmPChgTabs (0xC615), whose size byte 255 means a layout
// not read here (its paragraph is taken for no row's end).
// sprmPFTtp (0x2417) with operand 1 marks the paragraph that ends a table row.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class RowEnds {
public:
    // Reads the bin table of paragraph properties at [start, start + size) of table and the
    // pages it names in word. When any of them lies outside its stream, a page is named
    // twice or a page's runs or properties do not fit it, no paragraph is taken for a row's
    // end: the text of a document whose table is damaged is still read, its rows' ends as
    // cells' ends. An empty bin table is a document without tables.
    void read(const std::vector<unsigned char>& word, const std::vector<unsigned char>& table, std::uint64_t start,
              std::uint64_t size);

    // Whether the paragraph mark at byte offset of the WordDocument stream ends a table row.
    bool endsRow(std::uint64_t offset) const;

private:
    // Reads as read does; false when anything read does not fit.
    bool readRuns(const std::vector<unsigned char>& word, const std::vector<unsigned char>& table, std::uint64_t start,
                  std::uint64_t size);

    struct Run {
        std::uint32_t start;
        std::uint32_t end;
    };
    std::vector<Run> runs;  // the runs of row-ending paragraphs, by their start
};
