// Fuzz target for the reader of Word documents: any bytes, given as a whole file in a block
// that ends where they do, so AddressSanitizer reports a single byte read past the file.
// The same bytes then go through the decision of how a file is read (text/FileText.h) as a
// ".doc" file, for the view and for the count, in reads of odd sizes. The seeds are the test
// documents of tests/data/word. A broken rule prints what broke and aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/Latin1252.h"
#include "support/MemoryBytes.h"
#include "text/FileText.h"
#include "text/WordText.h"
#include "support/GuardedBlock.h"

namespace {

void require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "Broken: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    GuardedBlock file(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        file.data()[i] = static_cast<char>(data[i]);
    std::u16string text;
    bool read = readWordText(file.data(), file.size(), text);
    require(read || text.empty(), "a refused file left text behind");
    // The text never holds more code units than the WordDocument stream has bytes.
    require(text.size() <= size, "more text than the file has bytes");
    for (char16_t c : text)
        require(c >= 0x20 || c == u'\t' || c == u'\n', "a control character other than tab and line end");

    for (bool joinLineEnds : {false, true}) {
        std::string bytes(file.data(), size);
        MemoryBytes stream(bytes);
        Latin1252 codePage;
        FileText source(stream, codePage, Ending::DOC, joinLineEnds);
        // The first read is a whole block, as the matcher's is; every later one an odd size.
        std::string block(64 * 1024, '\0');
        std::size_t wanted = block.size(), total = 0;
        for (;;) {
            std::size_t got = source.read(&block[0], wanted);
            total += got;
            // Every character comes from at least one byte, and becomes at most four.
            require(total <= 4 * size, "more text than four bytes for every byte of the file");
            if (got < wanted)
                break;
            wanted = 1 + total % 997;
        }
    }
    return 0;
}
