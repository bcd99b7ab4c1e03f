#include "panel/RichTextStream.h"

#include <richedit.h>

#include <cstdio>
#include <cstring>

#include "panel/ScopedWritable.h"

namespace {

// The pieces of one rich-text stream, handed to the control in order.
struct StreamPieces {
    const char* piece[3];
    std::size_t length[3];
    int current;
    std::size_t offset;
};

DWORD CALLBACK readPieces(DWORD_PTR cookie, LPBYTE into, LONG wanted, LONG* given)
{
    StreamPieces& pieces = *reinterpret_cast<StreamPieces*>(cookie);
    LONG done = 0;
    while (done < wanted && pieces.current < 3) {
        std::size_t left = pieces.length[pieces.current] - pieces.offset;
        std::size_t n = left < static_cast<std::size_t>(wanted - done) ? left : static_cast<std::size_t>(wanted - done);
        std::memcpy(into + done, pieces.piece[pieces.current] + pieces.offset, n);
        done += static_cast<LONG>(n);
        pieces.offset += n;
        if (pieces.offset == pieces.length[pieces.current]) {
            ++pieces.current;
            pieces.offset = 0;
        }
    }
    *given = done;
    return 0;
}

// One character of a control's text with what it looks like.
struct ShownChar {
    char text;
    DWORD effects;
    COLORREF colour;
    LONG height;
    char face[LF_FACESIZE];
};

const int PROBE_CHARS = 192;  // room for every run the check inserts

// What the control shows, character by character; returns how many characters there are.
int readShown(HWND control, ShownChar* shown)
{
    int n = 0;
    for (; n < PROBE_CHARS; ++n) {
        char piece[8] = "";
        TEXTRANGEA range = {{n, n + 1}, piece};
        if (SendMessageA(control, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)) <= 0)
            break;
        CHARFORMATA format;
        std::memset(&format, 0, sizeof format);
        format.cbSize = sizeof format;
        SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range.chrg));
        SendMessageA(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        ShownChar& c = shown[n];
        std::memset(&c, 0, sizeof c);
        c.text = piece[0];
        c.effects = format.dwEffects;
        c.colour = (format.dwEffects & CFE_AUTOCOLOR) ? 0 : format.crTextColor;
        c.height = format.yHeight;
        std::memcpy(c.face, format.szFaceName, sizeof c.face);
    }
    CHARRANGE end = {-1, -1};
    SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    return n;
}

}  // namespace

bool RunBatch::add(const char* run, unsigned long colour)
{
    int index = 0;  // \cf0 is the automatic colour
    if (colour != 0) {
        while (index < colours && table[index] != colour)
            ++index;
        if (index == MAX_COLOURS)
            return false;
        ++index;
    }
    // Every byte takes at most five characters; the colour switch at most six.
    std::size_t runLength = std::strlen(run);
    if (length + 6 + 5 * runLength >= CAPACITY)
        return false;
    if (colour != 0 && index > colours)
        table[colours++] = colour;

    length += static_cast<std::size_t>(std::snprintf(text + length, CAPACITY - length, "\\cf%d ", index));
    for (std::size_t i = 0; i < runLength; ++i) {
        unsigned char c = static_cast<unsigned char>(run[i]);
        if (c == '\\' || c == '{' || c == '}') {
            text[length++] = '\\';
            text[length++] = static_cast<char>(c);
        } else if (c == '\n' || c == '\r') {
            // As Unicode characters these go in exactly as a plain insertion puts them,
            // where the paragraph keyword or a hex escape would not.
            length += static_cast<std::size_t>(std::snprintf(text + length, CAPACITY - length, "\\u%d?", c));
        } else if (c < 0x20 || c >= 0x7F) {
            length += static_cast<std::size_t>(std::snprintf(text + length, CAPACITY - length, "\\'%02x", c));
        } else {
            text[length++] = static_cast<char>(c);
        }
    }
    text[length] = '\0';
    return true;
}

void RunBatch::clear()
{
    length = 0;
    colours = 0;
    text[0] = '\0';
}

void streamBatch(HWND control, const RunBatch& batch)
{
    CHARRANGE selection;
    SendMessageA(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    selection.cpMin = selection.cpMax;
    SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));

    char header[64 + RunBatch::MAX_COLOURS * 40];
    // Without a code page the control reads the stream's \'xx bytes as code page 1252, while
    // one-by-one appends go in through the system's ANSI code page.
    int used = std::snprintf(header, sizeof header, "{\\rtf1\\ansi\\ansicpg%u{\\colortbl ;", GetACP());
    for (int i = 0; i < batch.colourCount(); ++i) {
        unsigned long c = batch.colour(i);
        used += std::snprintf(header + used, sizeof header - used, "\\red%lu\\green%lu\\blue%lu;", c & 0xFF,
                              (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    }
    used += std::snprintf(header + used, sizeof header - used, "}");
    StreamPieces pieces = {{header, batch.body(), "}"}, {static_cast<std::size_t>(used), batch.bodyLength(), 1}, 0, 0};
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&pieces), 0, readPieces};
    {
        ScopedWritable writable(control);
        SendMessageA(control, EM_STREAMIN, SF_RTF | SFF_SELECTION, reinterpret_cast<LPARAM>(&stream));
    }
    SendMessageA(control, EM_SCROLLCARET, 0, 0);
}

bool streamsExactly(HWND model, AppendRun appendRun)
{
    // Runs with everything a rendered line can hold: the prefix, an empty run, words in red,
    // characters the stream has to escape, every byte from 0x80 up and line ends of each kind.
    static const struct {
        const char* text;
        unsigned long colour;
    } RUNS[] = {
        {"1) ", 0xFF0000},
        {"", 0},
        {"a{b}\\c", 0x0000FF},
        {" \t\xe9\x01\x7f", 0},
        {"d", 0x0000FF},
        {"\r\n\rx\n", 0},
        {"2) ", 0xFF0000},
        {"e\n", 0},
        {"\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8a\x8b\x8c\x8d\x8e\x8f"
         "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9a\x9b\x9c\x9d\x9e\x9f"
         "\xa0\xa1\xa2\xa3\xa4\xa5\xa6\xa7\xa8\xa9\xaa\xab\xac\xad\xae\xaf"
         "\xb0\xb1\xb2\xb3\xb4\xb5\xb6\xb7\xb8\xb9\xba\xbb\xbc\xbd\xbe\xbf"
         "\xc0\xc1\xc2\xc3\xc4\xc5\xc6\xc7\xc8\xc9\xca\xcb\xcc\xcd\xce\xcf"
         "\xd0\xd1\xd2\xd3\xd4\xd5\xd6\xd7\xd8\xd9\xda\xdb\xdc\xdd\xde\xdf"
         "\xe0\xe1\xe2\xe3\xe4\xe5\xe6\xe7\xe8\xe9\xea\xeb\xec\xed\xee\xef"
         "\xf0\xf1\xf2\xf3\xf4\xf5\xf6\xf7\xf8\xf9\xfa\xfb\xfc\xfd\xfe\xff\n",
         0x0000FF},
    };
    HWND probe = CreateWindowExA(0, "RICHEDIT", "", WS_CHILD | ES_MULTILINE | ES_READONLY, 0, 0, 300, 100,
                                 GetParent(model), nullptr, GetModuleHandleA(nullptr), nullptr);
    if (probe == nullptr)
        return false;
    SendMessageA(probe, WM_SETFONT, SendMessageA(model, WM_GETFONT, 0, 0), FALSE);

    ShownChar oneByOne[PROBE_CHARS];
    ShownChar together[PROBE_CHARS];
    for (const auto& run : RUNS)
        appendRun(probe, run.text, run.colour);
    int first = readShown(probe, oneByOne);

    SendMessageA(probe, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    static RunBatch batch;
    batch.clear();
    for (const auto& run : RUNS)
        batch.add(run.text, run.colour);
    streamBatch(probe, batch);
    int second = readShown(probe, together);
    DestroyWindow(probe);

    return first > 0 && first == second &&
           std::memcmp(oneByOne, together, sizeof(ShownChar) * static_cast<std::size_t>(first)) == 0;
}
