#include "dialogs/BrowserCommand.h"

#include <windows.h>

#include <cstring>

#include "platform/ScopedKeyChain.h"
#include "text/TextBuffer.h"

BrowserCommand browserCommand;

namespace {

const char OWN_KEY[] = "Software\\Kadrel\\Find\\Browser";
const char DEFAULT_BROWSER_KEY[] = "HtmlDefBrowser\\shell\\open\\command";
const char WEB_PAGE_KEY[] = "Htmlfile\\shell\\open\\command";
const char UNKNOWN_COMMAND[] = "<<Unknown>>";

// Reads the default value of a key under HKEY_CLASSES_ROOT into text. Returns the byte
// count the registry reported, or -1 when the key is missing or the value does not fit
// with its terminator.
LONG queryDefaultValue(const char* subkey, char* text, LONG capacity)
{
    LONG size = capacity;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, subkey, text, &size) != ERROR_SUCCESS)
        return -1;
    if (size < 0 || size > capacity)
        return -1;
    // A value written without its terminator fits only when there is room to add one.
    if (size == capacity && text[capacity - 1] != '\0')
        return -1;
    if (size < capacity)
        text[size] = '\0';
    return size;
}

const char BARE_FILE_ARGUMENT[] = " %1";
const char QUOTED_FILE_ARGUMENT[] = " \"%1\"";

// Whether the n characters of text end in ending.
bool endsWith(const char* text, std::size_t n, const char* ending)
{
    std::size_t e = std::strlen(ending);
    return n >= e && std::memcmp(text + n - e, ending, e) == 0;
}

}  // namespace

int BrowserCommand::loadFromRegistry()
{
    const LONG capacity = static_cast<LONG>(sizeof text);
    LONG size = queryDefaultValue(OWN_KEY, text, capacity);
    if (size >= 0) {
        length = static_cast<int>(size);
        return 1;
    }
    size = queryDefaultValue(DEFAULT_BROWSER_KEY, text, capacity);
    if (size >= 0) {
        // This command ends in its file argument ("%1"); those two characters go, so the
        // path can be appended in their place. A value too short to lose them leaves
        // nothing to run. A quoted argument goes whole, with the blank before it: its
        // opening quote left behind would swallow the path.
        std::size_t n = boundedLength(text, sizeof text);
        std::size_t kept = n >= 2 ? n - 2 : 0;
        if (endsWith(text, n, QUOTED_FILE_ARGUMENT))
            kept = n - (sizeof QUOTED_FILE_ARGUMENT - 1);
        text[kept] = '\0';
        length = static_cast<int>(kept);
        return 1;
    }
    size = queryDefaultValue(WEB_PAGE_KEY, text, capacity);
    if (size >= 0) {
        // Left in, a file argument would reach the browser as a literal "%1" before the path.
        std::size_t n = boundedLength(text, sizeof text);
        std::size_t kept = n;
        if (endsWith(text, n, BARE_FILE_ARGUMENT))
            kept = n - (sizeof BARE_FILE_ARGUMENT - 1);
        else if (endsWith(text, n, QUOTED_FILE_ARGUMENT))
            kept = n - (sizeof QUOTED_FILE_ARGUMENT - 1);
        text[kept] = '\0';
        length = kept < n ? static_cast<int>(kept) : static_cast<int>(size);
        return 1;
    }
    copyText(text, sizeof text, UNKNOWN_COMMAND);
    length = static_cast<int>(sizeof UNKNOWN_COMMAND);
    return 0;
}

void BrowserCommand::saveToRegistry()
{
    // Created one level at a time, so a missing "Software" under the classes root is made too.
    const char* const levels[] = {"Software", "Kadrel", "Find", "Browser"};
    ScopedKeyChain keys;
    if (keys.create(HKEY_CLASSES_ROOT, levels, sizeof levels / sizeof levels[0]))
        RegSetValueA(keys.deepest(), nullptr, REG_SZ, text, static_cast<DWORD>(length));
}

bool composeLaunchCommand(char* dst, std::size_t cap, const char* command, const char* path)
{
    // A path cannot contain a double quote, so quoting it needs no escapes.
    bool quoted = std::strchr(path, ' ') != nullptr;
    std::size_t commandLength = std::strlen(command);
    std::size_t pathLength = std::strlen(path);
    std::size_t total = commandLength + 1 + pathLength + (quoted ? 2 : 0);
    if (total >= cap)
        return false;
    char* at = dst;
    std::memcpy(at, command, commandLength);
    at += commandLength;
    *at++ = ' ';
    if (quoted)
        *at++ = '"';
    std::memcpy(at, path, pathLength);
    at += pathLength;
    if (quoted)
        *at++ = '"';
    *at = '\0';
    return true;
}
