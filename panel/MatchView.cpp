#include "panel/MatchView.h"

#include <cstdio>
#include <cstring>

#include "panel/SearchPanel.h"

static_assert(sizeof(CHARFORMATA) == 60, "the single-byte character format record of Rich Edit 1.0");

MatchView matchView;

MatchView::MatchView()
{
    std::memset(&charFormat, 0, sizeof charFormat);
    std::memset(&selection, 0, sizeof selection);
    // Loading the library registers the "RICHEDIT" class the panel's template names, so it
    // has to happen before the panel is created; a failure shows as a panel that cannot be made.
    libraryHandle = LoadLibraryA("RICHED32.DLL");
}

MatchView::~MatchView()
{
    if (libraryHandle != nullptr)
        FreeLibrary(libraryHandle);
    libraryHandle = nullptr;
}

void MatchView::attach(HWND control)
{
    controlHandle = control;
}

namespace {

// Wine's control empties itself in a time that grows with the square of its paragraphs:
// about 4 s for 2,000 lines, against 20 ms to make a new control. Up to this many lines
// emptying it is the cheaper of the two.
const LRESULT MOST_LINES_EMPTIED = 200;

}  // namespace

void MatchView::clearView()
{
    HWND panel = panelWindow.load();
    if (panel == nullptr || controlHandle == nullptr)
        return;
    // A control may only be made and destroyed by the thread its panel belongs to.
    if (handedToPanel(panel, WM_VIEW_CLEAR))
        return;
    if (SendMessageA(controlHandle, EM_GETLINECOUNT, 0, 0) <= MOST_LINES_EMPTIED || !replaceControl())
        SendMessageA(controlHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
}

bool MatchView::replaceControl()
{
    // Drawing is only ever off inside a render, which begins after its clear.
    HWND old = controlHandle;
    HWND parent = GetParent(old);
    RECT place;
    GetWindowRect(old, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    HWND fresh = CreateWindowExA(GetWindowLongA(old, GWL_EXSTYLE), "RICHEDIT", "", GetWindowLongA(old, GWL_STYLE),
                                 place.left, place.top, place.right - place.left, place.bottom - place.top,
                                 parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(old))),
                                 reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(old, GWLP_HINSTANCE)), nullptr);
    if (fresh == nullptr)
        return false;
    // The panel gave its controls its own font; Wine's control does not tell which it has.
    SendMessageA(fresh, WM_SETFONT, SendMessageA(parent, WM_GETFONT, 0, 0), FALSE);
    // The new control takes the old one's place among the panel's controls.
    SetWindowPos(fresh, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    bool focused = GetFocus() == old;
    controlHandle = fresh;
    panelControls.matchView = fresh;
    DestroyWindow(old);
    if (focused)
        SetFocus(fresh);
    return true;
}

void MatchView::appendText(const char* text, unsigned long colour)
{
    if (panelWindow.load() == nullptr)
        return;
    insertRun(controlHandle, text, colour);
}

void MatchView::moveCaretToEnd()
{
    if (panelWindow.load() == nullptr)
        return;
    CHARRANGE end = {-1, -1};
    SendMessageA(controlHandle, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
}

void MatchView::insertRun(HWND control, const char* text, unsigned long colour)
{
    // Collapse the selection to its end: after a clear and between appends that is the end
    // of the text, so successive runs line up in call order.
    SendMessageA(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    selection.cpMin = selection.cpMax;
    SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    setColour(control, colour);
    // The control is read-only for the user; only this insertion may change it.
    SendMessageA(control, EM_SETREADONLY, 0, 0);
    SendMessageA(control, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(control, EM_SETREADONLY, 1, 0);
    SendMessageA(control, EM_SCROLLCARET, 0, 0);
}

void MatchView::setColour(HWND control, unsigned long colour)
{
    charFormat.cbSize = sizeof charFormat;
    // Start from the format at the insertion point so that only the colour changes.
    SendMessageA(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&charFormat));
    charFormat.dwMask |= CFM_COLOR;
    if (colour == 0) {
        charFormat.dwEffects |= CFE_AUTOCOLOR;
    } else {
        charFormat.crTextColor = static_cast<COLORREF>(colour);
        charFormat.dwEffects &= ~static_cast<DWORD>(CFE_AUTOCOLOR);
    }
    SendMessageA(control, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&charFormat));
}

void MatchView::beginRender()
{
    if (panelWindow.load() == nullptr || controlHandle == nullptr)
        return;
    SendMessageA(controlHandle, EM_SETUNDOLIMIT, 0, 0);
    // Drawing off clears the control's visible style and drawing on sets it.
    bool visible = (GetWindowLongA(controlHandle, GWL_STYLE) & WS_VISIBLE) != 0;
    if (drawingSuspended || !visible)
        return;
    SendMessageA(controlHandle, WM_SETREDRAW, FALSE, 0);
    drawingSuspended = true;
}

void MatchView::endRender()
{
    if (!drawingSuspended)
        return;
    drawingSuspended = false;
    SendMessageA(controlHandle, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(controlHandle, nullptr, TRUE);
}

void MatchView::appendBatch(const RunBatch& batch)
{
    if (panelWindow.load() == nullptr)
        return;
    insertBatch(controlHandle, batch, batchMode == BATCH_RESTYLED);
}

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

}  // namespace

void MatchView::insertBatch(HWND control, const RunBatch& batch, bool restyle)
{
    SendMessageA(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    selection.cpMin = selection.cpMax;
    SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    LONG start = selection.cpMin;
    // Every run of a one-by-one append takes the insertion point's format apart from its
    // colour. The stream names only colours; a control that does not keep the rest of the
    // insertion point's format for streamed text has it set again afterwards.
    charFormat.cbSize = sizeof charFormat;
    SendMessageA(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&charFormat));

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

    SendMessageA(control, EM_SETREADONLY, 0, 0);
    SendMessageA(control, EM_STREAMIN, SF_RTF | SFF_SELECTION, reinterpret_cast<LPARAM>(&stream));
    SendMessageA(control, EM_SETREADONLY, 1, 0);

    if (restyle) {
        SendMessageA(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        LONG end = selection.cpMax;
        selection.cpMin = start;
        SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        CHARFORMATA rest = charFormat;
        rest.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT |
                      CFM_OFFSET | CFM_PROTECTED;
        SendMessageA(control, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&rest));
        selection.cpMin = end;
        selection.cpMax = end;
        SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    }
    SendMessageA(control, EM_SCROLLCARET, 0, 0);
}

bool MatchView::showsBatchesExactly()
{
    if (panelWindow.load() == nullptr || controlHandle == nullptr)
        return false;
    if (batchMode == BATCH_UNTRIED) {
        if (tryBatches(false))
            batchMode = BATCH_PLAIN;
        else if (tryBatches(true))
            batchMode = BATCH_RESTYLED;
        else
            batchMode = BATCH_NEVER;
    }
    return batchMode == BATCH_PLAIN || batchMode == BATCH_RESTYLED;
}

namespace {

// One character of a control's text with what it looks like.
struct ShownChar {
    char text;
    DWORD effects;
    COLORREF colour;
    LONG height;
    char face[LF_FACESIZE];
};

const int PROBE_CHARS = 192;  // room for every run the probe inserts

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

bool MatchView::tryBatches(bool restyle)
{
    // Runs with everything a rendered line can hold: the prefix, an empty run, words in red,
    // characters the stream has to escape, every byte from 0x80 up and line ends of each kind.
    static const struct {
        const char* text;
        unsigned long colour;
    } RUNS[] = {
        {"1) ", 0xFF0000}, {"", 0},           {"a{b}\\c", 0x0000FF}, {" \t\xe9\x01\x7f", 0},
        {"d", 0x0000FF},   {"\r\n\rx\n", 0}, {"2) ", 0xFF0000},     {"e\n", 0},
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
                                 GetParent(controlHandle), nullptr, GetModuleHandleA(nullptr), nullptr);
    if (probe == nullptr)
        return false;
    SendMessageA(probe, WM_SETFONT, SendMessageA(controlHandle, WM_GETFONT, 0, 0), FALSE);

    ShownChar oneByOne[PROBE_CHARS];
    ShownChar together[PROBE_CHARS];
    for (const auto& run : RUNS)
        insertRun(probe, run.text, run.colour);
    int first = readShown(probe, oneByOne);

    SendMessageA(probe, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    static RunBatch batch;
    batch.clear();
    for (const auto& run : RUNS)
        batch.add(run.text, run.colour);
    insertBatch(probe, batch, restyle);
    int second = readShown(probe, together);
    DestroyWindow(probe);

    return first > 0 && first == second &&
           std::memcmp(oneByOne, together, sizeof(ShownChar) * static_cast<std::size_t>(first)) == 0;
}
