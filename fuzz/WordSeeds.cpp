// Writes seeds for word_fuzzer into the folder given: documents built in the layouts a word
// processor does not write (tests/support/WordBuilder.h), so the fuzzer starts from 8-bit
// pieces, fields, tables, several stories, property records and 4096-byte sectors as well
// as from the written test documents. make fuzz runs it before fuzzing.
#include <cstdio>
#include <fstream>
#include <string>

#include "support/WordBuilder.h"

namespace {

WordLayout layoutOf(const std::string& text, bool compressed)
{
    WordLayout layout;
    std::string bytes;
    for (char c : text) {
        bytes += c;
        if (!compressed)
            bytes += '\0';
    }
    layout.pieces = {{bytes, compressed}};
    layout.storyLengths = {static_cast<std::uint32_t>(text.size() - 3), 2, 0, 0, 0, 0, 0};
    return layout;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string text = "caf\xe9 \x93see\x94 \x13 HYPERLINK \x13 x \x14y\x15 \x14link\x15 a\x07"
                             "b\x07\x07\r\x01\x08\x0b"
                             "end\rf\r";
    WordLayout layouts[4] = {layoutOf(text, true), layoutOf(text, false), layoutOf(text, true), layoutOf(text, true)};
    layouts[2].propertyRecord = true;
    layouts[3].sectorShift = 12;
    const char* names[4] = {"built-8-bit", "built-utf-16", "built-property-record", "built-4096-byte-sectors"};
    for (int i = 0; i < 4; ++i) {
        std::ofstream out(std::string(argv[1]) + "/" + names[i], std::ios::binary);
        const std::string file = builtDocument(layouts[i]);
        out.write(file.data(), static_cast<std::streamsize>(file.size()));
        if (!out) {
            std::fprintf(stderr, "Cannot write %s in %s\n", names[i], argv[1]);
            return 1;
        }
    }
    return 0;
}
