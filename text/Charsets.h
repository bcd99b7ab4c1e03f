// The character encodings web pages declare: the labels browsers accept, each with the Windows
// code page that decodes it (text/CharsetLabelTable.h, generated from the WHATWG Encoding
// Standard's list), and the prescan by which a browser finds a page's declaration before it
// reads the page.
#pragma once
#include <cstddef>

class Charsets {
public:
    // How many bytes at the start of a page the prescan looks at, as browsers do.
    static const std::size_t PRESCAN_BYTES = 1024;

    // The code page of the encoding label names (length bytes; ASCII white space around it
    // and letter case do not matter); 0 for a label browsers do not know or one that names
    // no encoding to decode with.
    static unsigned codePageOfLabel(const char* label, std::size_t length);

    // The code page that a <meta charset> or <meta http-equiv="Content-Type" content="...;
    // charset=..."> among the first count bytes of a page declares, read as the HTML
    // standard's prescan reads them (comments and other tags skipped, attributes quoted or
    // not); 0 when they declare none. A declared UTF-16 is taken as UTF-8 (65001): a page
    // whose markup the prescan could read is not UTF-16.
    static unsigned prescan(const char* bytes, std::size_t count);
};
