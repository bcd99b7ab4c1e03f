#include "text/RichTextFonts.h"

namespace {

const int NO_FONT = -2;

// The Windows code page of a font character set, or 0 for the document's code page (ANSI,
// default, symbol and any set without a page of its own).
unsigned codePageOfCharset(long long charset)
{
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

}  // namespace

void RichTextFonts::reset()
{
    documentPage_ = 1252;
    defaultFont_ = -1;
    fontCount_ = 0;
    cachedFont_ = NO_FONT;
    cachedPage_ = 0;
}

void RichTextFonts::setDocumentPage(unsigned page)
{
    documentPage_ = page;
    cachedFont_ = NO_FONT;
}

void RichTextFonts::setCharset(int font, long long charset)
{
    setCodePage(font, codePageOfCharset(charset));
}

void RichTextFonts::setCodePage(int font, unsigned page)
{
    cachedFont_ = NO_FONT;
    for (std::size_t k = 0; k < fontCount_; ++k) {
        if (fonts_[k].font == font) {
            fonts_[k].page = page;
            return;
        }
    }
    if (fontCount_ < MAX_FONTS)
        fonts_[fontCount_++] = FontPage{font, page};
}

unsigned RichTextFonts::pageOf(int font)
{
    if (font < 0)
        font = defaultFont_;
    if (font == cachedFont_)
        return cachedPage_;
    unsigned page = 0;
    for (std::size_t k = 0; k < fontCount_ && page == 0; ++k) {
        if (fonts_[k].font == font)
            page = fonts_[k].page;
    }
    cachedFont_ = font;
    cachedPage_ = page != 0 ? page : documentPage_;
    return cachedPage_;
}
