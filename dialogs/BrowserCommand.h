// The browser command line the Launch Browser dialog starts, and where it is kept.
#pragma once
#include <cstddef>

const std::size_t BROWSER_COMMAND_CAPACITY = 4096;  // 4095 characters and the terminator

class BrowserCommand {
public:
    // Fills text from the first registry source that answers: the program's own default,
    // then the system's default browser, then the handler for web pages, these two without
    // the file argument ("%1") they end in. Returns 1 when a source was found, 0 when text
    // is the "<<Unknown>>" placeholder.
    int loadFromRegistry();

    // Stores text as the program's default browser. Failures are silent.
    void saveToRegistry();

    char text[BROWSER_COMMAND_CAPACITY] = {};
    // The size recorded with text and passed along when it is saved.
    int length = 0;
};

extern BrowserCommand browserCommand;

// Writes the command line that starts command on path: command, one blank, then path,
// in double quotes when it contains a blank so it reaches the program as one argument.
// Returns false, leaving dst as it was, when the whole line does not fit in cap: a cut
// line would start something other than what the user asked for.
bool composeLaunchCommand(char* dst, std::size_t cap, const char* command, const char* path);
