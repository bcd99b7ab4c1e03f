#include "RegistryKeys.h"

#include <windows.h>

const char* const BrowserKeys::OWN = "Software\\Kadrel\\Find\\Browser";

namespace {

const char* const PATHS[3] = {BrowserKeys::OWN, "HtmlDefBrowser\\shell\\open\\command",
                              "Htmlfile\\shell\\open\\command"};

bool keyExists(const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Makes the key, and the levels above it, when missing.
bool setDefaultValue(const std::string& path, const std::string& value)
{
    return RegSetValueA(HKEY_CLASSES_ROOT, path.c_str(), REG_SZ, value.c_str(), 0) == ERROR_SUCCESS;
}

}  // namespace

bool readDefaultValue(const std::string& path, std::string* value)
{
    char text[8192];
    LONG size = sizeof text;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, path.c_str(), text, &size) != ERROR_SUCCESS)
        return false;
    *value = std::string(text, size > 0 ? static_cast<std::size_t>(size) - 1 : 0);
    return true;
}

BrowserKeys::BrowserKeys()
{
    for (int i = 0; i < 3; ++i) {
        Saved& key = saved[i];
        key.path = PATHS[i];
        for (std::size_t at = 0; at != std::string::npos;) {
            at = key.path.find('\\', at + 1);
            if (!keyExists(key.path.substr(0, at)))
                key.missingLevels.push_back(key.path.substr(0, at));
        }
        readDefaultValue(key.path, &key.value);
    }
}

BrowserKeys::~BrowserKeys()
{
    for (const Saved& key : saved) {
        if (key.missingLevels.empty())
            setDefaultValue(key.path, key.value);
        for (auto level = key.missingLevels.rbegin(); level != key.missingLevels.rend(); ++level)
            RegDeleteKeyA(HKEY_CLASSES_ROOT, level->c_str());
    }
}

bool BrowserKeys::set(const char* own, const char* defaultBrowser, const char* webPage)
{
    const char* const values[3] = {own, defaultBrowser, webPage};
    for (int i = 0; i < 3; ++i) {
        if (values[i] != nullptr) {
            if (!setDefaultValue(PATHS[i], values[i]))
                return false;
        } else {
            LONG result = RegDeleteKeyA(HKEY_CLASSES_ROOT, PATHS[i]);
            if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
                return false;
        }
    }
    return true;
}
