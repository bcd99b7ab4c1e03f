// Fuzz target for the reader of web pages (text/WebPage.h): any bytes, read whole in one block
// and again in blocks of varying sizes (1 to 4,099 bytes, from the input's own bytes), each a
// block of exactly its size, so AddressSanitizer reports a byte read past one; with 1252 as the
// program's code page when the input's size is even, a page of two-byte characters when odd;
// with 1252, when lettersStandInBytes says so of the bytes, every word of ASCII letters and
// digits of the text must be found among them, or cut where the markup may join (WordCuts).
// The seeds are in fuzz/corpus-htm. A broken rule prints what broke and aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/AsciiRuns.h"
#include "support/GuardedBlock.h"
#include "support/Latin1252.h"
#include "support/TwoBytePage.h"
#include "text/WebPage.h"
#include "text/WordsInBytes.h"

namespace {

void require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "Broken: %s\n", what);
        std::abort();
    }
}

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The text of the size bytes at data, read in blocks whose sizes the bytes themselves give
// (pieces false: one block). Checks what each block hands out.
std::u16string read(const std::uint8_t* data, std::size_t size, bool pieces)
{
    Latin1252 latin;
    TwoBytePage twoBytes;
    WebPageReader reader(size % 2 == 0 ? static_cast<const CodePage&>(latin) : twoBytes);
    std::u16string text;
    std::size_t at = 0;
    while (at < size) {
        std::size_t length = pieces ? 1 + (data[at] * 131u + at) % 4099 : size;
        length = length < size - at ? length : size - at;
        GuardedBlock block(length, '\0');
        for (std::size_t k = 0; k < length; ++k)
            block.data()[k] = static_cast<char>(data[at + k]);
        std::size_t before = text.size();
        reader.take(block.data(), block.size(), text);
        // A character is never split between two blocks' text: the caller converts each alone.
        require(text.size() == before || !isHighSurrogate(text.back()), "a block's text ends inside a character");
        at += length;
    }
    reader.finish(text);
    require(!twoBytes.halfConverted, "half a character handed to the code page");
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::u16string whole = read(data, size, false);
    // Every character comes from at least one byte, every line end and tab from a tag of three
    // or more, and the text ends in a line end.
    require(whole.size() <= size + 1, "more text than the page has bytes");
    for (std::size_t i = 0; i < whole.size(); ++i) {
        char16_t c = whole[i];
        require(c >= 0x20 || c == u'\t' || c == u'\n', "a control character other than tab and line end");
        require(!isHighSurrogate(c) || (i + 1 < whole.size() && isLowSurrogate(whole[i + 1])), "a lone surrogate");
        require(!isLowSurrogate(c) || (i > 0 && isHighSurrogate(whole[i - 1])), "a lone surrogate");
    }
    require(whole.empty() || whole.back() == u'\n', "text that does not end its last line");
    require(read(data, size, true) == whole, "the text depends on where blocks fall");
    if (size % 2 == 0 && lettersStandInBytes(TextKind::WEB_PAGE, data, size)) {
        require(asciiWordsFoundAcrossCuts(whole, std::string(reinterpret_cast<const char*>(data), size),
                                          wordCutsOf(TextKind::WEB_PAGE), 16),
                "a word the bytes do not hold, in a page said to hold its letters");
    }
    return 0;
}
