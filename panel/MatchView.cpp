#include "panel/MatchView.h"

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

void MatchView::clearView()
{
    if (panelWindow.load() == nullptr)
        return;
    SendMessageA(controlHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
}

void MatchView::appendText(const char* text, unsigned long colour)
{
    if (panelWindow.load() == nullptr)
        return;
    // Collapse the selection to its end: after a clear and between appends that is the end
    // of the text, so successive runs line up in call order.
    SendMessageA(controlHandle, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    selection.cpMin = selection.cpMax;
    SendMessageA(controlHandle, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    setColour(colour);
    // The control is read-only for the user; only this insertion may change it.
    SendMessageA(controlHandle, EM_SETREADONLY, 0, 0);
    SendMessageA(controlHandle, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(controlHandle, EM_SETREADONLY, 1, 0);
    SendMessageA(controlHandle, EM_SCROLLCARET, 0, 0);
}

void MatchView::setColour(unsigned long colour)
{
    charFormat.cbSize = sizeof charFormat;
    // Start from the format at the insertion point so that only the colour changes.
    SendMessageA(controlHandle, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&charFormat));
    charFormat.dwMask |= CFM_COLOR;
    if (colour == 0) {
        charFormat.dwEffects |= CFE_AUTOCOLOR;
    } else {
        charFormat.crTextColor = static_cast<COLORREF>(colour);
        charFormat.dwEffects &= ~static_cast<DWORD>(CFE_AUTOCOLOR);
    }
    SendMessageA(controlHandle, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&charFormat));
}
