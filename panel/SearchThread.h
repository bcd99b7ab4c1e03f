// The worker thread that runs one search: it empties the results, walks the tree from the
// search root, and marks the end of the search. At most one exists at a time.
#pragma once
#include <windows.h>
#include <atomic>

class TreeWalker;

// The handle of the most recently created search thread, which closes it itself.
extern std::atomic<HANDLE> searchThreadHandle;
// The walker every search starts with; it hands matching files to the result list.
extern TreeWalker rootWalker;

// Starts a search thread over searchRoot with queryText. Returns 1 when the thread runs,
// 0 (after telling the user) when it could not be created.
int startSearchThread();

DWORD WINAPI searchThreadProc(LPVOID unused);

// Number of search threads that exist: counted before a thread is created, and uncounted
// as the thread's very last action. A new search may start only when this is 0.
int searchThreadsAlive();

// The most search threads ever alive at once since the last reset (for the tests' checks).
int mostSearchThreadsAlive();
void resetMostSearchThreadsAlive();
