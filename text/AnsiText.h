// The text a FileText hands out, gathered from what its reader puts in: characters as UTF-16
// code units, which go into the code page in runs, and bytes, which go as they are. A carriage
// return before a line feed is left out of both, also where a run or a block ends between
// them, unless the bytes are put in plain.
#pragma once
#include <cstddef>
#include <memory>
#include <vector>

class CodePage;

class AnsiText {
public:
    // What the text is gathered in. It may outlive the text and serve the next one: a reader of
    // many small files then allocates it once (text/FileText.h's TextMemory).
    struct Memory {
        std::unique_ptr<char16_t[]> units;
        std::vector<char> ready;
    };

    AnsiText(const CodePage& codePage, Memory& memory);
    ~AnsiText();
    AnsiText(const AnsiText&) = delete;
    AnsiText& operator=(const AnsiText&) = delete;

    // Where a reader writes units in place: room for *room of them, at least two (a pair).
    // unitsWritten then says how many it wrote.
    char16_t* unitSpace(std::size_t* room);
    void unitsWritten(std::size_t count);
    void putUnits(const char16_t* from, std::size_t count);

    // count units of UTF-16 LE at bytes, every one of them ASCII.
    void putAsciiLittleEndian(const unsigned char* bytes, std::size_t count);

    // Bytes in the code page already, after the characters put in before them.
    void putBytes(const char* bytes, std::size_t length);
    // Bytes handed out exactly as they are.
    void putPlain(const char* bytes, std::size_t length);
    // The same for a whole buffer, taken over without a copy when nothing waits.
    void putPlain(std::vector<char>& bytes);

    // The text has ended: half a pair left at its end is a "?", a carriage return held back
    // to see what follows is put out.
    void finish();

    // Puts the units that wait into the code page; a pair's first half at the end still waits.
    void flush() { flushUnits(false); }

    // Whether something put in is not yet ready to hand out: a run of units, or a carriage
    // return held back.
    bool holdsBack() const { return unitCount > 0 || carriageReturnHeld; }
    bool holdsUnits() const { return unitCount > 0; }

    // For a reader that writes ASCII text straight to where it goes, past what is ready: a
    // carriage return it ends in is held back here, and taken back to be put out or not.
    void holdCarriageReturn() { carriageReturnHeld = true; }
    bool takeHeldCarriageReturn()
    {
        bool held = carriageReturnHeld;
        carriageReturnHeld = false;
        return held;
    }

    // Copies up to count bytes of the text that is ready into into; returns how many.
    std::size_t take(char* into, std::size_t count);

private:
    void flushUnits(bool final);
    // count units, every one ASCII, after what is ready.
    void putAsciiUnits(const char16_t* run, std::size_t count);
    void beforeText(char first);
    void joinCarriageReturns(std::size_t from);
    void holdLastCarriageReturn(std::size_t from);
    char* readyRoom(std::size_t count);

    const CodePage& codePage;
    std::unique_ptr<char16_t[]>& units;  // allocated when the first unit comes
    std::size_t unitCount = 0;
    bool carriageReturnHeld = false;  // the text so far ends in a CR that may come before a LF
    std::vector<char>& ready;         // text to hand out, [readyAt, readyEnd)
    std::size_t readyAt = 0;
    std::size_t readyEnd = 0;
};
