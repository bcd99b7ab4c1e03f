#include "text/FileKind.h"

#include <cstring>

#include "text/AsciiCase.h"
#include "text/CompoundFile.h"
#include "text/Utf8.h"

namespace {

// In the order of Ending.
const char* const ENDINGS[] = {".htm", ".txt", ".rtf", ".doc"};
const std::size_t ENDING_LENGTH = 4;
static_assert(sizeof ENDINGS / sizeof ENDINGS[0] == static_cast<std::size_t>(Ending::OTHER_ENDING),
              "one text for each ending");

bool startsWith(const unsigned char* bytes, std::size_t length, const void* prefix, std::size_t count)
{
    return length >= count && std::memcmp(bytes, prefix, count) == 0;
}

}  // namespace

Ending endingOf(const char* name)
{
    std::size_t length = std::strlen(name);
    if (length < ENDING_LENGTH)
        return Ending::OTHER_ENDING;
    const char* last = name + length - ENDING_LENGTH;
    for (std::size_t e = 0; e < sizeof ENDINGS / sizeof ENDINGS[0]; ++e) {
        std::size_t i = 0;
        while (i < ENDING_LENGTH && lowerAscii(last[i]) == ENDINGS[e][i])
            ++i;
        if (i == ENDING_LENGTH)
            return static_cast<Ending>(e);
    }
    return Ending::OTHER_ENDING;
}

const char* endingText(Ending ending)
{
    return ending == Ending::OTHER_ENDING ? "" : ENDINGS[static_cast<std::size_t>(ending)];
}

KindDecision decideKind(Ending ending, const unsigned char* head, std::size_t length)
{
    // A page says its encoding itself: a byte-order mark or a declaration.
    if (ending == Ending::HTM)
        return {TextKind::WEB_PAGE, 0};
    // Word processors save rich text under ".doc" as often as under ".rtf".
    if ((ending == Ending::RTF || ending == Ending::DOC) && startsWith(head, length, "{\\rtf", 5))
        return {TextKind::RICH_TEXT, 0};
    if (startsWith(head, length, "\xFF\xFE", 2))
        return {TextKind::UTF16_LE, 2};
    if (startsWith(head, length, "\xFE\xFF", 2))
        return {TextKind::UTF16_BE, 2};
    if (startsWith(head, length, "\xEF\xBB\xBF", 3))
        return {TextKind::UTF8, 3};
    if (ending == Ending::DOC && startsWith(head, length, COMPOUND_FILE_SIGNATURE, sizeof COMPOUND_FILE_SIGNATURE))
        return {TextKind::WORD_DOCUMENT, 0};
    return {TextKind::ASCII, 0};
}

TextKind kindAtHighByte(const unsigned char* bytes, std::size_t length)
{
    if (length > HIGH_BYTE_WINDOW)
        length = HIGH_BYTE_WINDOW;
    return isUtf8Text(bytes, length) ? TextKind::UTF8 : TextKind::BYTES;
}
