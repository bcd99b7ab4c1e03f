#include "panel/ResultList.h"

#include <windows.h>

#include "panel/MatchView.h"
#include "panel/SearchPanel.h"
#include "search/SearchState.h"
#include "search/TextBuffer.h"
#include "search/ViewSink.h"

ResultList resultList;

namespace {

const char* const NO_FILES = "No files found";
const char* const NO_SELECTION = "No file selected";

// From any thread but the panel's, sends the operation to the panel, which carries it out
// on its own thread, and returns true. The caller waits, so its arguments stay valid.
bool handedToPanel(HWND panel, UINT message, LPARAM lParam = 0)
{
    if (GetWindowThreadProcessId(panel, nullptr) == GetCurrentThreadId())
        return false;
    SendMessageA(panel, message, 0, lParam);
    return true;
}

// Copies the text of a list item into dst when the item exists and fits.
bool copyItem(HWND list, int index, char* dst, std::size_t cap)
{
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || static_cast<std::size_t>(length) >= cap)
        return false;
    return SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(dst)) != LB_ERR;
}

}  // namespace

void ResultList::clear()
{
    HWND panel = panelWindow.load();
    if (panel == nullptr || handedToPanel(panel, WM_RESULT_CLEAR))
        return;
    resultCount = 0;
    SendMessageA(panelControls.fileList, LB_RESETCONTENT, 0, 0);
}

void ResultList::add(const char* path)
{
    HWND panel = panelWindow.load();
    if (panel == nullptr || handedToPanel(panel, WM_RESULT_ADD, reinterpret_cast<LPARAM>(path)))
        return;
    SendMessageA(panelControls.fileList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path));
    if (resultCount == 0)
        copyText(selectedFile, sizeof selectedFile, path);
    ++resultCount;
}

void ResultList::finish()
{
    HWND panel = panelWindow.load();
    if (panel == nullptr || handedToPanel(panel, WM_RESULT_FINISH))
        return;
    HWND list = panelControls.fileList;
    matchView.clearView();
    copyItem(list, 0, selectedFile, sizeof selectedFile);  // keeps its text when the list is empty
    if (resultCount == 0) {
        add(NO_FILES);
        matchView.appendText(NO_SELECTION, NOTICE_COLOUR);
        resultCount = 0;
        return;
    }
    // Selecting from here raises no LBN_SELCHANGE, so the first entry is rendered here.
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    char first[SELECTED_FILE_CAPACITY];
    if (copyItem(list, 0, first, sizeof first))
        panelMatcher.scanFile(first, queryText, 1);
}
