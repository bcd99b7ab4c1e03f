#include "text/FileText.h"

#include <cstring>

#include "text/RichText.h"
#include "text/UnitKernels.h"
#include "text/Utf8.h"
#include "text/WebPage.h"
#include "text/WordText.h"

namespace {

// Undecoded bytes are read in blocks of this size; the window of a decision fits one.
const std::size_t RAW_BLOCK = 64 * 1024;
static_assert(HIGH_BYTE_WINDOW <= RAW_BLOCK, "the bytes a decision looks at fit one block");
// UTF-16 is looked at this many units at a time: a run all ASCII skips the code page.
const std::size_t ASCII_WINDOW = 4096;
// A document's text is put into the code page this much at a time.
const std::size_t DOCUMENT_RUN = 32 * 1024;

// The reader of a markup kind's text, or null for the other kinds.
std::unique_ptr<MarkupReader> markupReaderFor(TextKind kind, const CodePage& codePage)
{
    if (kind == TextKind::RICH_TEXT)
        return std::make_unique<RichTextReader>(codePage);
    if (kind == TextKind::WEB_PAGE)
        return std::make_unique<WebPageReader>(codePage);
    return nullptr;
}

}  // namespace

FileText::FileText(ByteSource& file, const CodePage& codePage, Ending ending, bool joinLineEnds,
                   const std::atomic<int>* keepGoing, TextMemory* memory, const WordsLookedFor* lookedFor)
    : file(file), codePage(codePage), ending(ending), joinLineEnds(joinLineEnds), keepGoing(keepGoing),
      lookedFor(lookedFor), raw(memory != nullptr ? memory->raw : ownMemory.raw),
      documentMemory(memory != nullptr ? *memory : ownMemory), document(documentMemory.documentText),
      text(codePage, memory != nullptr ? memory->ansi : ownMemory.ansi),
      markupUnits(memory != nullptr ? memory->markupUnits : ownMemory.markupUnits)
{
    document.clear();  // what the last file left
}

FileText::~FileText()
{
    // The rest of a large document's memory goes back to the system, not on to the next file.
    if (largeDocument)
        std::u16string().swap(document);
}

std::size_t FileText::readFile(char* into, std::size_t count)
{
    if (fileEnded || count == 0)
        return 0;
    std::size_t got = file.read(into, count);
    if (got < count)
        fileEnded = true;
    return got;
}

std::size_t FileText::read(char* into, std::size_t count)
{
    if (gaveUp || (keepGoing != nullptr && keepGoing->load(std::memory_order_relaxed) == 0)) {
        gaveUp = true;
        return 0;
    }
    std::size_t given = 0;
    if (!decided) {
        // The first block goes where the caller wants its text: for plain bytes counted as
        // they are, which most files are, deciding costs no copy.
        given = decide(into, readFile(into, count));
        if (gaveUp)
            return 0;  // stopped while a document was read whole
    }
    for (;;) {
        given += text.take(into + given, count - given);
        if (given == count)
            return given;
        if (passesThrough()) {
            if (fileEnded)
                return given;
            std::size_t got = readFile(into + given, count - given);
            given += textKind == TextKind::ASCII ? passAscii(into + given, got) : got;
        } else if (textEnded()) {
            return given;
        } else if (textKind == TextKind::UTF16_LE) {
            given += readUtf16(into + given, count - given);
        } else {
            decodeMore();
        }
    }
}

std::size_t FileText::decide(char* head, std::size_t length)
{
    decided = true;
    KindDecision decision = decideKind(ending, reinterpret_cast<const unsigned char*>(head), length);
    textKind = decision.kind;
    if (textKind == TextKind::WORD_DOCUMENT) {
        readDocument(head, length);
        return 0;
    }
    if (passesThrough())
        return passAscii(head, length);
    if (cannotHoldLookedFor(head, length))
        return 0;  // read as no text: no markup reader, nothing left to decode
    if (textKind == TextKind::UTF16_LE && length - decision.markLength <= RAW_BLOCK) {
        // Read as every later block is: its ASCII goes straight to the caller.
        ensureRaw();
        rawAt = 0;
        rawEnd = length - decision.markLength;
        std::memcpy(raw.get(), head + decision.markLength, rawEnd);
        return 0;
    }
    markup = markupReaderFor(textKind, codePage);
    if (markup)
        markupUnits.reserve(RAW_BLOCK);  // a block's text has no more characters than bytes, or few more
    putRaw(head + decision.markLength, length - decision.markLength);
    return 0;
}

bool FileText::cannotHoldLookedFor(const char* bytes, std::size_t length) const
{
    bool markupKind = textKind == TextKind::WEB_PAGE || textKind == TextKind::RICH_TEXT;
    if (lookedFor == nullptr || !markupKind || !fileEnded)
        return false;
    // The runs of ASCII letters of the text must come out of the code page as those bytes alone:
    // in a page of two-byte characters, a character's second byte may be a letter too.
    if (codePage.ansiHasLeadBytes())
        return false;
    const unsigned char* unsignedBytes = reinterpret_cast<const unsigned char*>(bytes);
    return !lookedFor->mayBeIn(unsignedBytes, length, textKind);
}

bool FileText::passesThrough() const
{
    return !joinLineEnds && (textKind == TextKind::BYTES || textKind == TextKind::ASCII);
}

bool FileText::textEnded() const
{
    return fileEnded && carried == 0 && rawAt == rawEnd && !text.holdsBack() && documentAt == document.size() &&
           (!markup || markupFinished);
}

std::size_t FileText::passAscii(const char* bytes, std::size_t length)
{
    std::size_t ascii = asciiPrefix(bytes, length);
    if (ascii < length)
        decideAtHighByte(bytes + ascii, length - ascii);
    return ascii;
}

void FileText::decideAtHighByte(const char* bytes, std::size_t length)
{
    if (length < HIGH_BYTE_WINDOW && !fileEnded) {
        // The window runs on past these bytes: it is taken into raw whole.
        ensureRaw();
        std::memmove(raw.get(), bytes, length);
        while (length < HIGH_BYTE_WINDOW && !fileEnded)
            length += readFile(raw.get() + length, HIGH_BYTE_WINDOW - length);
        bytes = raw.get();
    }
    textKind = kindAtHighByte(reinterpret_cast<const unsigned char*>(bytes), length);
    if (passesThrough())
        text.putPlain(bytes, length);
    else
        putRaw(bytes, length);
}

void FileText::readDocument(const char* head, std::size_t length)
{
    // A document is read whole: its streams lie anywhere in the file.
    std::vector<char>& whole = documentMemory.documentBytes;
    // Grown by doubling, it would take in twice the pages, each fresh from the system.
    std::uint64_t expected = file.sizeHint();
    if (expected > length && expected <= LARGEST_DOCUMENT)
        whole.reserve(static_cast<std::size_t>(expected) + RAW_BLOCK);
    whole.assign(head, head + length);
    while (!fileEnded && whole.size() <= LARGEST_DOCUMENT) {
        if (keepGoing != nullptr && keepGoing->load(std::memory_order_relaxed) == 0) {
            gaveUp = true;
            textKind = TextKind::BYTES;
            break;
        }
        std::size_t had = whole.size();
        whole.resize(had + RAW_BLOCK);
        whole.resize(had + readFile(whole.data() + had, RAW_BLOCK));
    }
    largeDocument = whole.size() > TextMemory::KEPT_DOCUMENT;
    bool read = gaveUp || (whole.size() <= LARGEST_DOCUMENT &&
                           readWordText(whole.data(), whole.size(), document, documentMemory.documentStreams));
    if (!read) {
        // Not a document after all, or too large to be read whole: its bytes, as any file's.
        textKind = TextKind::BYTES;
        if (joinLineEnds) {
            putRaw(whole.data(), whole.size());
        } else {
            text.putPlain(whole);
        }
    }
    if (largeDocument) {
        std::vector<char>().swap(whole);
        documentMemory.documentStreams = WordMemory();
    }
}

void FileText::decodeMore()
{
    if (textKind == TextKind::WORD_DOCUMENT) {
        std::size_t left = document.size() - documentAt;
        std::size_t run = left < DOCUMENT_RUN ? left : DOCUMENT_RUN;
        text.putUnits(document.data() + documentAt, run);
        documentAt += run;
    } else {
        ensureRaw();
        std::size_t length = carried + readFile(raw.get() + carried, RAW_BLOCK - carried);
        carried = 0;
        putRaw(raw.get(), length);
    }
    if (fileEnded && documentAt == document.size())
        finish();
}

void FileText::putRaw(const char* bytes, std::size_t length)
{
    const unsigned char* unsignedBytes = reinterpret_cast<const unsigned char*>(bytes);
    switch (textKind) {
    case TextKind::ASCII: {
        std::size_t ascii = asciiPrefix(bytes, length);
        text.putBytes(bytes, ascii);
        if (ascii < length)
            decideAtHighByte(bytes + ascii, length - ascii);
        break;
    }
    case TextKind::BYTES:
        text.putBytes(bytes, length);
        break;
    case TextKind::UTF8:
        decodeUtf8(unsignedBytes, length);
        break;
    case TextKind::UTF16_LE:
    case TextKind::UTF16_BE:
        decodeUtf16(unsignedBytes, length);
        break;
    case TextKind::RICH_TEXT:
    case TextKind::WEB_PAGE:
        putMarkup(bytes, length);
        break;
    case TextKind::WORD_DOCUMENT:
        break;
    }
}

void FileText::putMarkup(const char* bytes, std::size_t length)
{
    markupUnits.clear();
    markup->take(bytes, length, markupUnits);
    text.putUnits(markupUnits.data(), markupUnits.size());
}

void FileText::decodeUtf16(const unsigned char* bytes, std::size_t length)
{
    const bool bigEndian = textKind == TextKind::UTF16_BE;
    std::size_t i = 0;
    while (length - i >= 2) {
        std::size_t window = (length - i) / 2 < ASCII_WINDOW ? (length - i) / 2 : ASCII_WINDOW;
        if (!bigEndian && littleEndianAreAscii(bytes + i, window)) {
            // Most text is ASCII: it goes into the code page without a copy of its units.
            text.putAsciiLittleEndian(bytes + i, window);
            i += 2 * window;
            continue;
        }
        std::size_t room = 0;
        char16_t* to = text.unitSpace(&room);
        std::size_t run = window < room ? window : room;
        const unsigned char* from = bytes + i;
        if (bigEndian) {
            for (std::size_t k = 0; k < run; ++k)
                to[k] = static_cast<char16_t>(from[2 * k] << 8 | from[2 * k + 1]);
        } else {
            unitsFromLittleEndian(from, run, to);
        }
        text.unitsWritten(run);
        i += 2 * run;
    }
    if (i < length) {
        ensureRaw();
        raw[0] = static_cast<char>(bytes[i]);
        carried = 1;
    }
}

std::size_t FileText::readUtf16(char* into, std::size_t room)
{
    // The text of UTF-16 LE goes from the block read straight to the caller as far as it is
    // ASCII; what is not goes through the code page a window at a time.
    if (carried > 0) {
        rawAt = 0;
        rawEnd = carried;
        carried = 0;
    }
    if (rawEnd - rawAt < 2 && !fileEnded) {
        ensureRaw();
        std::size_t left = rawEnd - rawAt;
        std::memmove(raw.get(), raw.get() + rawAt, left);
        rawAt = 0;
        rawEnd = left + readFile(raw.get() + left, RAW_BLOCK - left);
    }
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(raw.get()) + rawAt;
    std::size_t units = (rawEnd - rawAt) / 2;
    if (units == 0) {
        carried = rawEnd - rawAt;  // half a unit at the end of the file
        if (carried > 0)
            raw[0] = raw[rawAt];
        rawAt = rawEnd = 0;
        finish();
        return 0;
    }
    std::size_t written = 0;
    std::size_t taken = 0;
    if (!text.holdsUnits()) {
        // Nothing waits but a carriage return, perhaps: the text goes on from here.
        if (text.takeHeldCarriageReturn() && !(bytes[0] == '\n' && bytes[1] == 0))
            into[written++] = '\r';
        std::size_t most = units < room - written ? units : room - written;
        if (joinLineEnds) {
            std::size_t narrowed = narrowAsciiJoining(bytes, most, into + written, &taken);
            written += narrowed;
            if (narrowed > 0 && into[written - 1] == '\r') {
                text.holdCarriageReturn();
                --written;
            }
        } else {
            // A count keeps the carriage returns, as it does a file's plain bytes.
            taken = narrowLittleEndianAscii(bytes, most, into + written);
            written += taken;
        }
        rawAt += 2 * taken;
    }
    if (written < room && taken < units) {
        std::size_t window = units - taken < ASCII_WINDOW ? units - taken : ASCII_WINDOW;
        decodeUtf16(bytes + 2 * taken, 2 * window);
        text.flush();
        rawAt += 2 * window;
    }
    return written;
}

void FileText::decodeUtf8(const unsigned char* bytes, std::size_t length)
{
    for (std::size_t i = 0; i < length;) {
        std::size_t ascii = asciiPrefix(reinterpret_cast<const char*>(bytes + i), length - i);
        std::size_t room = 0;
        char16_t* to = text.unitSpace(&room);
        if (ascii > 0) {
            std::size_t run = ascii < room ? ascii : room;
            widenAscii(reinterpret_cast<const char*>(bytes + i), run, to);
            text.unitsWritten(run);
            i += run;
            continue;
        }
        char32_t code = 0;
        int sequence = utf8Sequence(bytes + i, length - i, &code);
        if (sequence == NEED_MORE && !fileEnded) {
            ensureRaw();
            carried = length - i;
            std::memmove(raw.get(), bytes + i, carried);
            return;
        }
        if (sequence <= 0) {
            // Not UTF-8 after all, here: the byte is taken as it is.
            text.putBytes(reinterpret_cast<const char*>(bytes + i), 1);
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            to[0] = static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            to[1] = static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
            text.unitsWritten(2);
        } else {
            to[0] = static_cast<char16_t>(code);
            text.unitsWritten(1);
        }
        i += static_cast<std::size_t>(sequence);
    }
}

void FileText::finish()
{
    // What the file ended in the middle of: half a character, or a pair's first half.
    if (carried > 0 && textKind == TextKind::UTF8)
        text.putBytes(raw.get(), carried);
    else if (carried > 0)
        text.putUnits(u"?", 1);
    carried = 0;
    if (markup && !markupFinished) {
        markupUnits.clear();
        markup->finish(markupUnits);
        text.putUnits(markupUnits.data(), markupUnits.size());
        markupFinished = true;
    }
    text.finish();
}

void FileText::ensureRaw()
{
    // Never filled first: what is read into it is what counts.
    if (!raw)
        raw.reset(new char[RAW_BLOCK + 4]);
}
