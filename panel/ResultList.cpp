#include "panel/ResultList.h"

#include <windows.h>

#include <cstring>
#include <deque>
#include <string>

#include "panel/PanelWindow.h"
#include "panel/SortedPaths.h"
#include "text/TextBuffer.h"

ResultList resultList;

namespace {

const char* const NO_FILES = "No files found";

// Paths the search thread has found and the list does not show yet: each as listed and as
// opened, one after another with their terminators. The lock is held only to copy: never
// while a message is sent.
class GatheredPaths {
public:
    // Returns false, taking nothing, when the two paths do not fit.
    bool put(const char* path, const char* opened)
    {
        std::size_t length = std::strlen(path) + 1;
        std::size_t openedLength = std::strlen(opened) + 1;
        AcquireSRWLockExclusive(&lock);
        bool fits = used + length + openedLength <= sizeof text;
        if (fits) {
            std::memcpy(text + used, path, length);
            std::memcpy(text + used + length, opened, openedLength);
            used += length + openedLength;
        }
        ReleaseSRWLockExclusive(&lock);
        return fits;
    }
    static const std::size_t CAPACITY = 64 * 1024;
    // Moves everything gathered into into; returns its length.
    std::size_t take(char (&into)[CAPACITY])
    {
        AcquireSRWLockExclusive(&lock);
        std::size_t length = used;
        std::memcpy(into, text, length);
        used = 0;
        ReleaseSRWLockExclusive(&lock);
        return length;
    }

private:
    SRWLOCK lock = SRWLOCK_INIT;
    std::size_t used = 0;
    char text[CAPACITY];
};

GatheredPaths gathered;
char taken[GatheredPaths::CAPACITY];
SortedPaths listOrder;
// The path each listed file was opened by; every list item's data points to its own.
// Never moved, so the pointers hold until the list is emptied.
std::deque<std::string> openedPaths;

// Copies the path the file of list item index was opened by into dst, when the item exists
// and the path fits.
bool copyOpenedPath(HWND list, int index, char* dst, std::size_t cap)
{
    LRESULT data = SendMessageA(list, LB_GETITEMDATA, index, 0);
    if (data == LB_ERR || data == 0)
        return false;
    return copyText(dst, cap, reinterpret_cast<const std::string*>(data)->c_str());
}

}  // namespace

void ResultList::clear()
{
    HWND panel = panelWindow.load();
    if (panel == nullptr || sentToPanelThread(panel, WM_RESULT_CLEAR))
        return;
    gathered.take(taken);
    resultCount = 0;
    SendMessageA(panelControls.fileList, LB_RESETCONTENT, 0, 0);
    listOrder.clear();
    openedPaths.clear();
    SetTimer(panel, RESULT_TIMER, RESULT_MILLISECONDS, nullptr);
}

void ResultList::add(const char* path, const char* opened)
{
    HWND panel = panelWindow.load();
    if (panel == nullptr)
        return;
    if (onPanelThread(panel)) {
        listPath(path, opened);
        return;
    }
    if (gathered.put(path, opened))
        return;
    // Full: the window's thread lists what is gathered while this thread waits. A path that
    // still does not fit is lost only with the panel.
    SendMessageA(panel, WM_RESULT_ADD, 0, 0);
    gathered.put(path, opened);
}

void ResultList::listPath(const char* path, const char* opened)
{
    int index = listOrder.place(path);
    LRESULT added = SendMessageA(panelControls.fileList, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(path));
    if (added < 0) {
        listOrder.unplace(index);
        return;
    }
    openedPaths.emplace_back(opened);
    SendMessageA(panelControls.fileList, LB_SETITEMDATA, added, reinterpret_cast<LPARAM>(&openedPaths.back()));
    if (resultCount == 0)
        copyText(selectedFile, sizeof selectedFile, opened);
    ++resultCount;
}

bool ResultList::select(int index)
{
    if (resultCount == 0)
        return false;  // the one entry is the "No files found" notice, which names no file
    return copyOpenedPath(panelControls.fileList, index, selectedFile, sizeof selectedFile);
}

void ResultList::listGathered()
{
    std::size_t length = gathered.take(taken);
    if (length == 0)
        return;
    // The list draws itself once for all of them, not once for each.
    HWND list = panelControls.fileList;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (std::size_t at = 0; at < length;) {
        const char* path = taken + at;
        const char* opened = path + std::strlen(path) + 1;
        listPath(path, opened);
        at = static_cast<std::size_t>(opened - taken) + std::strlen(opened) + 1;
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void ResultList::finish()
{
    HWND panel = panelWindow.load();
    if (panel == nullptr || sentToPanelThread(panel, WM_RESULT_FINISH))
        return;
    KillTimer(panel, RESULT_TIMER);
    listGathered();
    HWND list = panelControls.fileList;
    copyOpenedPath(list, 0, selectedFile, sizeof selectedFile);  // keeps its text when the list is empty
    if (resultCount == 0) {
        listPath(NO_FILES, NO_FILES);
        resultCount = 0;
        return;
    }
    SendMessageA(list, LB_SETCURSEL, 0, 0);
}
