// The code page the text of each font of a rich text file is in (RichText.h): the font
// table's \fcharsetN or \cpgN for the font, else the document's \ansicpgN, else 1252. Keeps
// the pages of MAX_FONTS fonts; a later font's text is in the document's code page.
#pragma once
#include <cstddef>

class RichTextFonts {
public:
    static const std::size_t MAX_FONTS = 64;

    RichTextFonts() { reset(); }

    // Forgets every font: the document's code page 1252 again, and no default font.
    void reset();

    void setDocumentPage(unsigned page);
    void setDefaultFont(int font) { defaultFont_ = font; }

    // The font table describes font: its character set (a Windows charset number), or the
    // code page named outright.
    void setCharset(int font, long long charset);
    void setCodePage(int font, unsigned page);

    // The code page of font's text, -1 meaning the default font.
    unsigned pageOf(int font);

private:
    struct FontPage {
        int font;
        unsigned page;  // 0: the document's code page
    };

    unsigned documentPage_;
    int defaultFont_;
    FontPage fonts_[MAX_FONTS];
    std::size_t fontCount_;
    // The font last asked about and its page, since text outside ASCII comes a byte at a time.
    int cachedFont_;
    unsigned cachedPage_;
};
