#include "panel/SearchPanel.h"

#include "dialogs/BrowserDialog.h"
#include "platform/Beep.h"
#include "panel/FileRender.h"
#include "panel/MatchView.h"
#include "panel/PanelLayout.h"
#include "panel/ResultList.h"
#include "panel/SearchThread.h"
#include "resources/resource.h"
#include "search/DirectoryCursor.h"
#include "search/SearchState.h"
#include "text/TextBuffer.h"
#include "match/ViewSink.h"
#include "match/WordRules.h"

namespace {

const char* const SEARCH_CAPTION = "Search for String";
const char* const STOP_CAPTION = "Stop Searching";
const char* const NO_SELECTION = "No file selected";

void setText(HWND window, const char* text)
{
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void initialisePanel(HWND panel)
{
    searchRoot.setToWorkingDirectory();
    panelWindow = panel;

    panelControls.searchButton = GetDlgItem(panel, IDC_SEARCH);
    panelControls.searchString = GetDlgItem(panel, IDC_SEARCH_STRING);
    panelControls.filesLabel = GetDlgItem(panel, IDC_FILES_LABEL);
    panelControls.matchesLabel = GetDlgItem(panel, IDC_MATCHES_LABEL);
    panelControls.fileList = GetDlgItem(panel, IDC_FILE_LIST);
    matchView.attach(GetDlgItem(panel, IDC_MATCH_VIEW));

    measurePanel(panel);

    SendMessageA(panelControls.searchString, CB_LIMITTEXT, QUERY_CAPACITY, 0);
    // A new panel's list is empty, whatever an earlier panel left counted or gathered; its
    // view is empty too, with no notice yet.
    resultList.clear();
    resultList.finish();
}

void endPanel(HWND panel)
{
    fileRender.cancel();
    EndDialog(panel, 0);
    panelWindow = nullptr;
}

void showSelectedFile()
{
    LRESULT index = SendMessageA(panelControls.fileList, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR || !resultList.select(static_cast<int>(index)))
        return;
    // The render may show an error box whose loop lists a first result, which rewrites
    // selectedFile; the render keeps its own copy of the path.
    char path[SELECTED_FILE_CAPACITY];
    copyText(path, sizeof path, resultList.selectedFile);
    fileRender.start(path, queryText);
}

void startOrStopSearch()
{
    // A stopped search whose thread is still winding down: refuse, and leave the flag alone
    // so the walk that is ending never sees it raised again.
    if (searchActive.load() == 0 && searchThreadsAlive() != 0) {
        signalBeep();
        return;
    }
    int earlier = searchActive.fetch_add(1);
    if (earlier != 0) {
        searchActive = 0;
        setText(panelControls.searchButton, SEARCH_CAPTION);
        return;
    }
    // The thread finished its walk and cleared the flag between the two reads above: it is
    // still ending, so the same refusal applies.
    if (searchThreadsAlive() != 0) {
        searchActive = 0;
        signalBeep();
        return;
    }

    // An empty box only beeps: the search text stays what the listed files are shown with.
    char typed[QUERY_CAPACITY] = "";
    SendMessageA(panelControls.searchString, WM_GETTEXT, sizeof typed, reinterpret_cast<LPARAM>(typed));
    if (typed[0] == '\0') {
        searchActive = 0;
        signalBeep();
        return;
    }
    // No search thread exists now, so queryText is ours to write.
    copyText(queryText, sizeof queryText, typed);
    rememberSearchString(panelControls.searchString, queryText);
    // Folded here, before the thread exists: from now until the search ends this thread
    // renders selected files from queryText while the search thread reads it, and neither
    // may write it. The history keeps the text as typed.
    if (searchOptions.caseSensitive.load() == 0)
        foldInPlace(queryText);
    setText(panelControls.searchButton, STOP_CAPTION);
    // The file shown is about to go; so is the rest of its render.
    fileRender.cancel();
    if (startSearchThread() != 0)
        return;
    searchActive = 0;
    setText(panelControls.searchButton, SEARCH_CAPTION);
}

void launchBrowser(HWND panel)
{
    if (resultList.resultCount != 0)
        showBrowserDialog(panel, resultList.selectedFile);
    else
        signalBeep();
}

INT_PTR onPanelCommand(HWND panel, WPARAM wParam)
{
    WORD command = LOWORD(wParam);
    WORD notification = HIWORD(wParam);
    switch (command) {
    case IDOK:
    case IDCANCEL:
        endPanel(panel);
        return TRUE;
    case IDC_FILE_LIST:
        if (notification == LBN_SELCHANGE)
            showSelectedFile();
        break;
    case IDC_SEARCH:
        // A click, or the menu item: both come with notification code 0.
        if (notification == BN_CLICKED)
            startOrStopSearch();
        break;
    case IDC_LAUNCH_BROWSER:
        launchBrowser(panel);
        break;
    }
    return FALSE;
}

// The first file found is shown, or a grey notice that there is none. Selecting it from
// here raises no LBN_SELCHANGE.
void showFirstResult()
{
    fileRender.cancel();
    matchView.clearView();
    if (resultList.resultCount == 0) {
        matchView.appendText(NO_SELECTION, NOTICE_COLOUR);
        matchView.flush();
        return;
    }
    // A box about the file has a message loop that may list and select anew: the render
    // keeps its own copy of the path.
    char first[SELECTED_FILE_CAPACITY];
    copyText(first, sizeof first, resultList.selectedFile);
    fileRender.start(first, queryText);
}

// The end of a search, which the search thread asks for with WM_SEARCH_END: the list is
// finished and its first file shown, the button reads "Search for String" again, the beep
// sounds and the search box shows the search string as the search used it.
void endSearch()
{
    resultList.finish();
    showFirstResult();
    setText(panelControls.searchButton, SEARCH_CAPTION);
    signalBeep();
    setText(panelControls.searchString, queryText);
}

void onPanelTimer(WPARAM timer)
{
    if (timer == RESULT_TIMER)
        resultList.listGathered();
    else if (timer == RENDER_TIMER)
        fileRender.step();
}

}  // namespace

void rememberSearchString(HWND comboBox, const char* text)
{
    // CB_FINDSTRING matches entries that begin with the text, ignoring case. Entries go in
    // at a position, which does not sort, so the history stays newest first.
    LRESULT found = SendMessageA(comboBox, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    if (found != CB_ERR)
        SendMessageA(comboBox, CB_DELETESTRING, found, 0);
    SendMessageA(comboBox, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text));
}

INT_PTR CALLBACK searchPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        initialisePanel(panel);
        return TRUE;
    case WM_SIZE:
        layoutPanel();
        return TRUE;
    case WM_COMMAND:
        return onPanelCommand(panel, wParam);
    case WM_RESULT_CLEAR:
        resultList.clear();
        return TRUE;
    case WM_RESULT_ADD:
        resultList.listGathered();
        return TRUE;
    case WM_RESULT_FINISH:
        resultList.finish();
        return TRUE;
    case WM_VIEW_CLEAR:
        matchView.clearView();
        return TRUE;
    case WM_SEARCH_END:
        endSearch();
        return TRUE;
    case WM_TIMER:
        onPanelTimer(wParam);
        return TRUE;
    case WM_DESTROY:
        // Gone with the main window: nothing may reach its controls any more.
        fileRender.cancel();
        if (panelWindow.load() == panel)
            panelWindow = nullptr;
        return FALSE;
    case WM_NCDESTROY:
        // After the controls, which draw with it until they go.
        releasePanelFont();
        return FALSE;
    }
    return FALSE;
}
