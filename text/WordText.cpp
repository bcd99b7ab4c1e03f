#include "text/WordText.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "text/CompoundFile.h"
#include "text/LittleEndian.h"
#include "text/RowEnds.h"
#include "text/UnitKernels.h"

namespace {

const std::uint16_t FIB_IDENT = 0xA5EC;
const std::uint16_t FIRST_WORD97_NFIB = 0x00C0;
const std::uint16_t FLAG_ENCRYPTED = 0x0100;
const std::uint16_t FLAG_ONE_TABLE = 0x0200;
const std::size_t FIB_CSW = 0x20;
const std::size_t LW_FIRST_CCP = 3;  // ccpText; the stories' lengths follow it in fibRgLw
const std::size_t LW_RESERVED_CCP = 6;
const std::size_t LW_LAST_CCP = 10;  // ccpHdrTxbx
const std::size_t PAPX_PAIR = 13;
const std::size_t CLX_PAIR = 33;
const std::size_t PIECE_SIZE = 8;
const std::uint32_t FC_COMPRESSED = 0x40000000u;
const std::uint32_t FC_MASK = 0x3FFFFFFFu;

// Windows-1252's characters for the bytes 0x82-0x9F of a compressed piece; 0 where the byte
// stands for itself.
const char16_t HIGH_BYTES[30] = {0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
                                 0x0152, 0,      0,      0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0,      0x0178};

char16_t fromCompressed(unsigned char byte)
{
    if (byte >= 0x82 && byte <= 0x9F && HIGH_BYTES[byte - 0x82] != 0)
        return HIGH_BYTES[byte - 0x82];
    return byte;
}

struct Fib {
    bool oneTable = false;
    std::uint64_t clxStart = 0;
    std::uint64_t clxSize = 0;
    std::uint64_t papxStart = 0;  // the bin table of paragraph properties
    std::uint64_t papxSize = 0;
    std::uint64_t textLength = 0;  // all stories together
    std::vector<std::uint64_t> storyStarts;
};

// Reads the FIB at the start of the WordDocument stream; false for anything but an
// unencrypted Word 97 or later document whose FIB lies whole in the stream.
bool readFib(const std::vector<unsigned char>& word, Fib& fib)
{
    if (word.size() < FIB_CSW + 2 || read16(word.data()) != FIB_IDENT || read16(word.data() + 2) < FIRST_WORD97_NFIB)
        return false;
    std::uint16_t flags = read16(word.data() + 0x0A);
    if (flags & FLAG_ENCRYPTED)
        return false;
    fib.oneTable = (flags & FLAG_ONE_TABLE) != 0;

    std::size_t at = FIB_CSW + 2 + 2 * std::size_t{read16(word.data() + FIB_CSW)};
    if (at + 2 > word.size())
        return false;
    std::size_t longs = read16(word.data() + at);
    at += 2;
    if (longs <= LW_LAST_CCP || at + 4 * longs + 2 > word.size())
        return false;
    for (std::size_t k = LW_FIRST_CCP; k <= LW_LAST_CCP; ++k) {
        if (k == LW_RESERVED_CCP)
            continue;
        std::int32_t length = static_cast<std::int32_t>(read32(word.data() + at + 4 * k));
        if (length < 0)
            return false;
        fib.storyStarts.push_back(fib.textLength);
        fib.textLength += static_cast<std::uint64_t>(length);
    }
    at += 4 * longs;
    std::size_t pairs = read16(word.data() + at);
    at += 2;
    if (pairs <= CLX_PAIR || at + 8 * pairs > word.size())
        return false;
    fib.clxStart = read32(word.data() + at + 8 * CLX_PAIR);
    fib.clxSize = read32(word.data() + at + 8 * CLX_PAIR + 4);
    fib.papxStart = read32(word.data() + at + 8 * PAPX_PAIR);
    fib.papxSize = read32(word.data() + at + 8 * PAPX_PAIR + 4);
    return true;
}

// Finds the piece table inside the Clx, past its property records. Returns false when the
// Clx does not lie in table or holds no piece table of whole entries.
bool findPieceTable(const std::vector<unsigned char>& table, const Fib& fib, std::size_t& start, std::size_t& count)
{
    if (fib.clxStart > table.size() || fib.clxSize > table.size() - fib.clxStart)
        return false;
    std::size_t at = static_cast<std::size_t>(fib.clxStart);
    const std::size_t end = at + static_cast<std::size_t>(fib.clxSize);
    while (at < end && table[at] == 0x01) {
        if (end - at < 3)
            return false;
        at += 3 + read16(table.data() + at + 1);
    }
    if (at >= end || table[at] != 0x02 || end - at < 5)
        return false;
    std::size_t size = read32(table.data() + at + 1);
    at += 5;
    if (size > end - at || size < 4 + 12 || (size - 4) % 12 != 0)
        return false;
    start = at;
    count = (size - 4) / 12;
    return true;
}

// A macro button shows one line of text: more of an instruction than this is never shown.
const std::size_t INSTRUCTION_KEPT = 1024;

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

// Whether instruction is a MACROBUTTON field's, "MACROBUTTON name display text", with the
// display text at [from, from + length), blanks around it left out.
bool macroButtonText(const std::u16string& instruction, std::size_t& from, std::size_t& length)
{
    static const char KEYWORD[] = "MACROBUTTON";
    std::size_t at = 0;
    const std::size_t end = instruction.size();
    while (at < end && isBlank(instruction[at]))
        ++at;
    for (const char* k = KEYWORD; *k != '\0'; ++k, ++at) {
        if (at == end ||
            (instruction[at] != static_cast<char16_t>(*k) && instruction[at] != static_cast<char16_t>(*k + 32)))
            return false;
    }
    if (at == end || !isBlank(instruction[at]))
        return false;
    while (at < end && isBlank(instruction[at]))
        ++at;
    while (at < end && !isBlank(instruction[at]))
        ++at;  // the macro's name
    while (at < end && isBlank(instruction[at]))
        ++at;
    std::size_t last = end;
    while (last > at && isBlank(instruction[last - 1]))
        --last;
    from = at;
    length = last - at;
    return true;
}

// Turns the document's characters into the text readWordText promises, one at a time.
class TextShaper {
public:
    explicit TextShaper(std::u16string& text) : text(text) {}

    // Fields never run from one story into the next; a field left open ends with its story.
    void startStory()
    {
        fields.clear();
        instructions.clear();
    }

    // Puts count characters of one story from at, 8-bit when compressed, else UTF-16LE; at
    // lies at offset in the WordDocument stream, where rowEnds knows the rows' ends.
    void putRun(const unsigned char* at, std::size_t count, bool compressed, const RowEnds& rowEnds,
                std::uint64_t offset)
    {
        const std::size_t width = compressed ? 1 : 2;
        for (std::size_t k = 0; k < count; ++k) {
            if (instructions.empty()) {
                // Most characters are shown as they are: those up to the next control at once.
                std::size_t plain = k;
                while (plain < count && (compressed ? at[plain] : read16(at + 2 * plain)) >= 0x20)
                    ++plain;
                putPlain(at + width * k, plain - k, compressed);
                k = plain;
                if (k == count)
                    return;
            }
            char16_t c = compressed ? fromCompressed(at[k]) : static_cast<char16_t>(read16(at + 2 * k));
            if (c == 0x07)
                putCellMark(rowEnds.endsRow(offset + width * k));
            else
                put(c);
        }
    }

    // A cell mark: the end of a cell, or with endsRow the end of its row.
    void putCellMark(bool endsRow) { show(endsRow ? u'\n' : u'\t'); }

    void put(char16_t c)
    {
        switch (c) {
        case 0x13:
            instructions.push_back(fields.size());
            fields.push_back({true, std::u16string()});
            return;
        case 0x14:
            if (!fields.empty() && fields.back().inInstruction) {
                fields.back().inInstruction = false;
                instructions.pop_back();
            }
            return;
        case 0x15:
            endField();
            return;
        default:
            break;
        }
        if (c == 0x0D || c == 0x0B || c == 0x0C || c == 0x0E)
            show(u'\n');
        else if (c == 0x1E)
            show(u'-');
        else if (c >= 0x20 || c == u'\t')
            show(c);
    }

private:
    void putPlain(const unsigned char* at, std::size_t count, bool compressed)
    {
        std::size_t had = text.size();
        text.resize(had + count);
        char16_t* to = &text[had];
        if (!compressed) {
            unitsFromLittleEndian(at, count, to);
            return;
        }
        for (std::size_t k = 0; k < count; ++k)
            to[k] = fromCompressed(at[k]);
    }

    struct Field {
        bool inInstruction;
        std::u16string instruction;  // its first INSTRUCTION_KEPT units, as shown
    };

    // What a field shows goes where the field itself is: into the instruction of the
    // innermost field still in its instruction (a field's result inside an instruction is
    // part of it), or into the text.
    void show(char16_t c)
    {
        if (instructions.empty()) {
            text.push_back(c);
            return;
        }
        std::u16string& instruction = fields[instructions.back()].instruction;
        if (instruction.size() < INSTRUCTION_KEPT)
            instruction.push_back(c);
    }

    void endField()
    {
        if (fields.empty())
            return;
        Field field = std::move(fields.back());
        fields.pop_back();
        if (!field.inInstruction)
            return;
        instructions.pop_back();
        std::size_t from = 0;
        std::size_t length = 0;
        if (macroButtonText(field.instruction, from, length)) {
            for (std::size_t k = from; k < from + length; ++k)
                show(field.instruction[k]);
        }
    }

    std::u16string& text;
    std::vector<Field> fields;              // the open fields, innermost last
    std::vector<std::size_t> instructions;  // of those, the ones still in their instruction
};

struct Piece {
    std::uint64_t cpStart;
    std::uint64_t cpEnd;  // within the stories
    std::size_t offset;   // in the WordDocument stream
    bool compressed;
};

// The pieces that hold the stories, each checked to lie in word. Returns false when the piece
// table does not start at 0, goes backwards, ends before the stories do, or points outside
// word, or when its pieces together would read more bytes than word holds.
bool collectPieces(const std::vector<unsigned char>& word, const std::vector<unsigned char>& table, std::size_t start,
                   std::size_t count, const Fib& fib, std::vector<Piece>& pieces)
{
    const unsigned char* cps = table.data() + start;
    const unsigned char* descriptors = cps + 4 * (count + 1);
    if (read32(cps) != 0 || read32(cps + 4 * count) < fib.textLength)
        return false;
    std::uint64_t bytesRead = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint64_t cpStart = read32(cps + 4 * i);
        std::uint64_t cpEnd = read32(cps + 4 * (i + 1));
        if (cpEnd < cpStart)
            return false;
        if (cpStart >= fib.textLength)
            break;
        if (cpEnd > fib.textLength)
            cpEnd = fib.textLength;
        std::uint32_t fc = read32(descriptors + PIECE_SIZE * i + 2);
        bool compressed = (fc & FC_COMPRESSED) != 0;
        std::uint64_t offset = compressed ? (fc & FC_MASK) / 2 : (fc & FC_MASK);
        std::uint64_t bytes = (cpEnd - cpStart) * (compressed ? 1 : 2);
        bytesRead += bytes;
        if (offset > word.size() || bytes > word.size() - offset || bytesRead > word.size())
            return false;
        pieces.push_back({cpStart, cpEnd, static_cast<std::size_t>(offset), compressed});
    }
    return true;
}

}  // namespace

bool readWordText(const char* bytes, std::size_t size, std::u16string& text)
{
    WordMemory memory;
    return readWordText(bytes, size, text, memory);
}

bool readWordText(const char* bytes, std::size_t size, std::u16string& text, WordMemory& memory)
{
    text.clear();
    CompoundFile file;
    if (!file.open(reinterpret_cast<const unsigned char*>(bytes), size))
        return false;
    std::vector<unsigned char>& word = memory.word;
    Fib fib;
    if (!file.readStream("WordDocument", word) || !readFib(word, fib))
        return false;
    std::vector<unsigned char>& table = memory.table;
    std::size_t start = 0;
    std::size_t count = 0;
    std::vector<Piece> pieces;
    RowEnds rowEnds;
    if (!file.readStream(fib.oneTable ? "1Table" : "0Table", table) || !findPieceTable(table, fib, start, count) ||
        !collectPieces(word, table, start, count, fib, pieces))
        return false;
    rowEnds.read(word, table, fib.papxStart, fib.papxSize);

    text.reserve(static_cast<std::size_t>(fib.textLength));
    TextShaper shaper(text);
    std::size_t story = 0;
    for (const Piece& piece : pieces) {
        const unsigned char* at = word.data() + piece.offset;
        for (std::uint64_t cp = piece.cpStart; cp < piece.cpEnd;) {
            while (story < fib.storyStarts.size() && fib.storyStarts[story] <= cp) {
                shaper.startStory();
                ++story;
            }
            std::uint64_t end = piece.cpEnd;
            if (story < fib.storyStarts.size() && fib.storyStarts[story] < end)
                end = fib.storyStarts[story];
            std::size_t count = static_cast<std::size_t>(end - cp);
            shaper.putRun(at, count, piece.compressed, rowEnds, static_cast<std::uint64_t>(at - word.data()));
            at += piece.compressed ? count : 2 * count;
            cp = end;
        }
    }
    return true;
}
