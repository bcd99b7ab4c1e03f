// The text of a Word 97-2003 binary document, as the word processor shows it, in UTF-16 code
// units.
//
// The document is a compound file (CompoundFile.h) with a stream "WordDocument", which starts
// with the file information block (FIB), all integers little-endian:
//   0x0000  2  wIdent: A5EC
//   0x0002  2  nFib: the format's version. Word 97 and every later version write 0x00C1 here
//              (0x00C0 in the empty document some versions install); Word 6 and 95 wrote
//              0x0065-0x0068, with another layout, which is not read.
//   0x000A  2  flags: 0x0100 fEncrypted, 0x0200 fWhichTblStm (the table stream is "1Table"
//              when set, "0Table" when clear), 0x8000 fObfuscated (only ever with fEncrypted)
//   0x0020  2  csw, the count of 16-bit values that follow (fibRgW)
//   then       2 * csw bytes, then 2 bytes cslw, the count of 32-bit values that follow (fibRgLw):
//              [3] ccpText, [4] ccpFtn, [5] ccpHdd, [6] reserved (once ccpMcr, ignored),
//              [7] ccpAtn, [8] ccpEdn, [9] ccpTxbx, [10] ccpHdrTxbx
//   then       4 * cslw bytes, then 2 bytes cbRgFcLcb, the count of (fc, lcb) pairs of 32-bit
//              values that follow, each a position and size in the table stream: pair [13]
//              is the bin table of paragraph properties (RowEnds.h), pair [33] the Clx.
// In a Word 97 file fibRgLw starts at 0x0040 and fcClx lies at 0x01A2.
//
// The ccp values are counts of character positions (CPs). The stories lie one after another
// in CP order: main text, footnotes, headers and footers, comments, endnotes, text boxes,
// header text boxes; a document with any story besides the main text ends with one more
// paragraph mark, which is not read.
//
// The Clx: any number of Prc records (byte 0x01, a 16-bit size, that many bytes of
// properties), then one Pcdt: byte 0x02, a 32-bit size lcb, and the piece table (PlcPcd) of
// lcb bytes: n + 1 CPs (32-bit, ascending), then n 8-byte piece descriptors, n = (lcb - 4) / 12.
// A piece descriptor: 2 bytes of flags, 4 bytes FcCompressed, 2 bytes of properties.
// FcCompressed: bits 0-29 fc, bit 30 fCompressed. A compressed piece's text is one byte per
// character at byte fc / 2 of the WordDocument stream, Windows-1252 as far as the format maps
// it: the bytes 0x82-0x8C, 0x91-0x9C and 0x9F are that code page's characters, every other
// byte (0x80, 0x81, 0x8D-0x90, 0x9D, 0x9E among them) is the Unicode character of its value.
// Any other piece is UTF-16LE at byte fc.
//
// Special characters in the text: 0x0D paragraph mark, 0x0B line break, 0x0C page or section
// break, 0x0E column break, 0x07 the end of a table cell or, in a paragraph of its own whose
// properties say so, the end of a table row; 0x13 field begin, 0x14 field separator, 0x15 field end: a field shows
// what lies between its separator and its end (its result), never its instruction (what lies
// between its begin and its separator), and fields nest. A field without a separator shows
// nothing, but for a macro button, "MACROBUTTON name display text", which shows its display
// text; 0x01 a picture, 0x08 a drawn object, 0x02 an automatic footnote number, 0x05 a
// comment's mark; 0x1E a non-breaking hyphen, 0x1F an optional hyphen.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Reads the text of the Word 97 or later document held in bytes[0, size). Returns false, with
// text empty, for anything else: not a compound file, no WordDocument stream, an older or
// encrypted document, or any size or position of the piece table that does not fit the file.
// Paragraph properties that do not fit it cost only the rows' ends (RowEnds.h). The text is
// the stories in CP order, with:
//   - paragraph marks, line, page, section and column breaks as '\n';
//   - a table cell's end as '\t', a table row's end as '\n' (a table inside a table cell
//     ends its cells and rows with paragraph marks, so each of its cells is a line);
//   - of each field only its result, of a macro button its display text (its first
//     line's worth: the instruction is kept up to 1,024 units);
//   - a non-breaking hyphen as '-';
//   - pictures, objects, footnote numbers and every other character below 0x20 but the tab
//     left out.
// The text holds at most one code unit for each byte of the WordDocument stream.
bool readWordText(const char* bytes, std::size_t size, std::u16string& text);

// The streams a document is read from, copied out of the file. A caller that reads document
// after document keeps one and hands it to each read: memory asked of the system anew costs
// more, page by page, than reading the document.
struct WordMemory {
    std::vector<unsigned char> word;   // the WordDocument stream
    std::vector<unsigned char> table;  // the table stream
};
bool readWordText(const char* bytes, std::size_t size, std::u16string& text, WordMemory& memory);
