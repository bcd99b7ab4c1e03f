// Fuzz target for the reader of rich text (text/RichText.h): any bytes, read whole and again
// in blocks whose sizes the bytes themselves choose, each block copied to memory of exactly
// its size, so AddressSanitizer reports a single byte read past a block. Both readings must
// give the same text, bounded by the file, for a one-byte and a two-byte code page; when
// lettersStandInBytes says so of the bytes, every word of ASCII letters and digits of the text
// must be found among them, or cut where the markup may join (WordCuts). The seeds are
// fuzz/corpus-rtf. A broken rule prints what broke and aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/AsciiRuns.h"
#include "support/Latin1252.h"
#include "support/TwoBytePage.h"
#include "text/RichText.h"
#include "text/WordsInBytes.h"

namespace {

void require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "Broken: %s\n", what);
        std::abort();
    }
}

void take(RichTextReader& reader, const std::uint8_t* data, std::size_t count, std::u16string& text)
{
    std::vector<char> block(data, data + count);
    reader.take(block.data(), block.size(), text);
}

void check(const CodePage& pages, const std::uint8_t* data, std::size_t size, bool singleByte)
{
    RichTextReader reader(pages);
    std::u16string whole;
    take(reader, data, size, whole);
    reader.finish(whole);

    std::u16string blocks;
    std::size_t at = 0;
    for (unsigned k = 0; at < size; ++k) {
        std::size_t block = 1 + (data[at] + 7u * k) % 61;
        block = block < size - at ? block : size - at;
        take(reader, data + at, block, blocks);
        at += block;
    }
    reader.finish(blocks);

    require(whole == blocks, "the text depends on where the blocks fall");
    std::size_t bound = size + 2 + 2 * (size / RichTextLines::MAX_HELD_UNITS);
    require(whole.size() <= bound, "more text than the file has bytes");
    for (char16_t c : whole)
        require(c >= 0x20 || c == u'\t' || c == u'\n', "a control character other than tab and line end");
    if (singleByte && lettersStandInBytes(TextKind::RICH_TEXT, data, size)) {
        require(asciiWordsFoundAcrossCuts(whole, std::string(reinterpret_cast<const char*>(data), size),
                                          wordCutsOf(TextKind::RICH_TEXT), 16),
                "a word the bytes do not hold, in a file said to hold its letters");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const Latin1252 latin;
    static const TwoBytePage twoByte;
    check(latin, data, size, true);
    check(twoByte, data, size, false);
    return 0;
}
