// How a file's bytes become the single-byte text the matcher reads, decided once for each
// file from its ending and its first block (text/FileKind.h), for the walk's count and the
// view alike. It reads from a byte source, so the layer above opens the file, and it puts
// characters into the program's code page through the one it is handed.
//
// The kinds:
//   UTF16_LE, UTF16_BE  characters of two bytes; the byte-order mark itself is left out;
//   ASCII               a file without a mark goes byte for byte, as it is, up to its first
//                       byte from 0x80 up; there it becomes UTF8 or BYTES (kindAtHighByte);
//   UTF8                a later sequence that is not valid UTF-8 is taken as one ANSI byte
//                       for each of its bytes;
//   WORD_DOCUMENT       readWordText (text/WordText.h) reads the document whole; a compound
//                       file it cannot read is read as BYTES;
//   RICH_TEXT,          a MarkupReader (text/RichText.h, text/WebPage.h) takes the bytes
//   WEB_PAGE            block by block and hands out the characters a reader of the
//                       document sees, never its markup;
//   BYTES               byte for byte.
// A count may leave a page or rich text file undecoded when it cannot hold what the search
// looks for (WordsLookedFor, below): its text is then empty.
// A character the code page lacks becomes "?". A Ctrl+Z is an ordinary byte of every kind:
// it ends nothing. A decoded kind goes through the code page in runs of characters, whose
// memory is bounded by a block, whatever the file holds; a document's text is held whole.
//
// The text's line ends: when joinLineEnds is asked for (to render: the view shows a line
// feed), a carriage return before a line feed is left out of every kind. A count keeps them
// where the text goes straight to the caller's block: BYTES and ASCII from the file, the ASCII
// of UTF-16 LE from the block read. Both separate words, and the reads of a line begin at the
// same offsets (search/ReadCutter.h, rule 3). Elsewhere a decoded kind leaves them out.
#pragma once
#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "text/AnsiText.h"
#include "text/ByteSource.h"
#include "text/FileKind.h"
#include "text/MarkupReader.h"
#include "text/WordText.h"

class CodePage;

// The memory a FileText decodes in, but for its markup reader's. A walk reads thousands of
// small pages one after another, and under Wine a block allocated anew for each costs more
// than reading the page, so a caller that reads file after file keeps one of these and hands
// it to each FileText in turn. One FileText at a time may use it. The same goes for a Word
// document, whose fresh pages cost several times the reading of its text: what it is read in
// stays for the next one, unless the document was larger than KEPT_DOCUMENT.
struct TextMemory {
    std::unique_ptr<char[]> raw;  // undecoded bytes of the file; a count of plain bytes needs none
    std::u16string markupUnits;   // what the markup reader handed out of the last block
    AnsiText::Memory ansi;
    std::vector<char> documentBytes;  // a Word document's file, read whole
    WordMemory documentStreams;
    std::u16string documentText;  // its text, put into the code page a run at a time

    static const std::size_t KEPT_DOCUMENT = 32u * 1024 * 1024;
};

// What a search looks for, asked by a FileText about a markup file of kind (WEB_PAGE or
// RICH_TEXT) that it holds whole: whether it may be in the file's text. It must be "may"
// unless the file's letters stand in its bytes (text/WordsInBytes.h) and it is neither found
// among them nor cut where the markup may join it (wordCutsOf). A file it cannot be in reads
// as no text, and is never decoded.
class WordsLookedFor {
public:
    virtual bool mayBeIn(const unsigned char* bytes, std::size_t length, TextKind kind) const = 0;

protected:
    ~WordsLookedFor() = default;
};

class FileText final : public ByteSource {
public:
    // A Word document is read whole; one larger than this is read as its bytes instead.
    static const std::size_t LARGEST_DOCUMENT = 256u * 1024 * 1024;

    // file is the file's bytes as they are on disk; ending is the ending of its name. With keepGoing, the text ends
    // early once it is found 0, looked at before every read: a file that never ends (a device behind a link, a pipe, a
    // file another program keeps growing) still ends when the search is stopped.
    // With memory, it decodes in that (see TextMemory), else in memory of its own. With
    // lookedFor, a markup file that cannot hold it reads as empty (see WordsLookedFor).
    FileText(ByteSource& file, const CodePage& codePage, Ending ending, bool joinLineEnds,
             const std::atomic<int>* keepGoing = nullptr, TextMemory* memory = nullptr,
             const WordsLookedFor* lookedFor = nullptr);
    // The kind is decided from the bytes the first read takes in: a first read of a block
    // (search/ReadCutter.h's STREAM_BLOCK_MINIMUM at least) sees the start of a document.
    std::size_t read(char* into, std::size_t count) override;
    ~FileText();
    FileText(const FileText&) = delete;
    FileText& operator=(const FileText&) = delete;

    // Whether the text ended because keepGoing was found 0.
    bool abandoned() const { return gaveUp; }

private:
    std::size_t readFile(char* into, std::size_t count);
    std::size_t decide(char* head, std::size_t length);
    bool passesThrough() const;
    bool textEnded() const;
    std::size_t passAscii(const char* bytes, std::size_t length);
    void decideAtHighByte(const char* bytes, std::size_t length);
    void readDocument(const char* head, std::size_t length);
    bool cannotHoldLookedFor(const char* bytes, std::size_t length) const;
    void decodeMore();
    void putRaw(const char* bytes, std::size_t length);
    void putMarkup(const char* bytes, std::size_t length);
    std::size_t readUtf16(char* into, std::size_t room);
    void decodeUtf16(const unsigned char* bytes, std::size_t length);
    void decodeUtf8(const unsigned char* bytes, std::size_t length);
    void finish();
    void ensureRaw();

    ByteSource& file;
    const CodePage& codePage;
    Ending ending;
    bool joinLineEnds;
    const std::atomic<int>* keepGoing;
    const WordsLookedFor* lookedFor;
    bool decided = false;
    TextKind textKind = TextKind::BYTES;
    bool fileEnded = false;
    bool gaveUp = false;

    TextMemory ownMemory;  // unused when the caller hands one in
    std::unique_ptr<char[]>& raw;
    std::size_t carried = 0;  // bytes at raw's start left from the last block
    std::size_t rawAt = 0;    // of UTF-16 LE, raw holds [rawAt, rawEnd) still to decode
    std::size_t rawEnd = 0;
    TextMemory& documentMemory;  // the memory in use, for a document's parts
    // The text of a document read whole, as UTF-16 units, which decodeMore puts into text a run
    // at a time: another reader that hands out units goes the same way.
    std::u16string& document;
    bool largeDocument = false;            // too large to keep its memory for the next file
    std::size_t documentAt = 0;            // what of it is put into text
    AnsiText text;                         // what is ready to hand out
    std::unique_ptr<MarkupReader> markup;  // the reader of a markup kind's text
    std::u16string& markupUnits;
    bool markupFinished = false;  // whether it has handed out what it held back
};
