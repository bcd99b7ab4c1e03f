// What the benchmarks that run in the program's own window share: making that window, and
// handling what is waiting for it.
#pragma once

// Registers the main window's class and creates the main window with its search panel, as
// the program starts. On failure tells why on stderr, naming program, and returns false.
bool openProgramWindow(const char* program);

// Dispatches every message waiting for this thread, as the program's loop would.
void handlePendingMessages();

// Destroys the main window and handles what that leaves waiting.
void closeProgramWindow();
