#include "panel/MatchView.h"

#include <cstring>

#include "panel/PanelWindow.h"
#include "panel/ScopedWritable.h"

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
    font = reinterpret_cast<HFONT>(SendMessageA(GetParent(control), WM_GETFONT, 0, 0));
}

void MatchView::setFont(HFONT newFont)
{
    font = newFont;
    if (controlHandle != nullptr)
        SendMessageA(controlHandle, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

namespace {

// Wine's control empties itself in a time that grows with the square of its paragraphs,
// while a new control costs the same whatever the old one held. Up to this many lines
// emptying it is the cheaper of the two.
const LRESULT MOST_LINES_EMPTIED = 200;

}  // namespace

void MatchView::clearView()
{
    HWND panel = panelWindow.load();
    if (panel == nullptr || controlHandle == nullptr)
        return;
    // A control may only be made and destroyed by the thread its panel belongs to.
    if (sentToPanelThread(panel, WM_VIEW_CLEAR))
        return;
    // Drawing goes on again first: with drawing off the control has lost its visible style,
    // which a fresh control would copy.
    batch.clear();
    endRender();
    appending = false;
    if (SendMessageA(controlHandle, EM_GETLINECOUNT, 0, 0) <= MOST_LINES_EMPTIED || !replaceControl())
        SendMessageA(controlHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
}

bool MatchView::replaceControl()
{
    HWND old = controlHandle;
    HWND parent = GetParent(old);
    RECT place;
    GetWindowRect(old, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    // A control hides its scroll bars as it is made, which takes their styles off it, and
    // shows them only where those styles were given: the fresh one is given both, so that it
    // shows each as its text needs it.
    LONG style = GetWindowLongA(old, GWL_STYLE) | WS_HSCROLL | WS_VSCROLL;
    HWND fresh = CreateWindowExA(GetWindowLongA(old, GWL_EXSTYLE), "RICHEDIT", "", style, place.left, place.top,
                                 place.right - place.left, place.bottom - place.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(old))),
                                 reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(old, GWLP_HINSTANCE)), nullptr);
    if (fresh == nullptr)
        return false;
    // The panel's controls have the panel's font, at its scale; Wine's control does not tell
    // which it has.
    SendMessageA(fresh, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // The new control takes the old one's place among the panel's controls.
    SetWindowPos(fresh, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    bool focused = GetFocus() == old;
    controlHandle = fresh;
    DestroyWindow(old);
    if (focused)
        SetFocus(fresh);
    return true;
}

void MatchView::appendText(const char* text, unsigned long colour)
{
    if (panelWindow.load() == nullptr || controlHandle == nullptr)
        return;
    if (!appending) {
        appending = true;
        beginRender();
        CHARRANGE end = {-1, -1};
        SendMessageA(controlHandle, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    }
    if (showsBatchesExactly()) {
        if (batch.add(text, colour))
            return;
        showBatch();  // the batch is full: show it and start the next
        if (batch.add(text, colour))
            return;
    }
    insertRun(controlHandle, text, colour);
}

void MatchView::flush()
{
    if (!appending)
        return;
    appending = false;
    showBatch();
    endRender();
}

void MatchView::showBatch()
{
    if (batch.empty())
        return;
    if (panelWindow.load() != nullptr)
        streamBatch(controlHandle, batch);
    batch.clear();
}

void MatchView::insertRun(HWND control, const char* text, unsigned long colour)
{
    // Collapse the selection to its end: after a clear and between appends that is the end
    // of the text, so successive runs line up in call order.
    SendMessageA(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    selection.cpMin = selection.cpMax;
    SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    setColour(control, colour);
    {
        // The control is read-only for the user; only this insertion may change it.
        ScopedWritable writable(control);
        SendMessageA(control, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
    }
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
    // The frame as well: scroll bars shown or hidden while drawing was off are drawn only so.
    RedrawWindow(controlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

bool MatchView::showsBatchesExactly()
{
    if (panelWindow.load() == nullptr || controlHandle == nullptr)
        return false;
    if (batchMode == BATCH_UNTRIED) {
        bool exact = streamsExactly(controlHandle, [](HWND control, const char* text, unsigned long colour) {
            matchView.insertRun(control, text, colour);
        });
        batchMode = exact ? BATCH_STREAMED : BATCH_NEVER;
    }
    return batchMode == BATCH_STREAMED;
}
