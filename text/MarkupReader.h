// A reader of a markup format (rich text, a web page): it takes a file's bytes block by block
// and hands out the characters a reader of the document sees, never the markup. It streams:
// what it holds between blocks is bounded by a block and the nesting it remembers, never by
// the file, and every input, however broken, has an answer.
#pragma once
#include <cstddef>
#include <string>

class MarkupReader {
public:
    virtual ~MarkupReader() = default;

    // Takes the next count bytes of the file and appends to out the characters they complete,
    // as UTF-16 code units; a line of the text ends in u'\n'.
    virtual void take(const char* bytes, std::size_t count, std::u16string& out) = 0;

    // The file has ended: appends to out whatever text is still held.
    virtual void finish(std::u16string& out) = 0;
};
