#include "RegistryKeys.h"

namespace {

bool keyExists(const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

} // namespace

SavedKey::SavedKey(const std::string& keyPath) : path(keyPath)
{
    for (std::size_t at = 0; at != std::string::npos;) {
        at = path.find('\\', at + 1);
        std::string level = path.substr(0, at);
        if (!keyExists(level))
            missingLevels.push_back(level);
    }
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    existed = true;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        Value value{name, type, std::vector<BYTE>(size)};
        nameLength = sizeof name;
        RegEnumValueA(key, index, name, &nameLength, nullptr, &type, value.data.data(), &size);
        value.data.resize(size);
        values.push_back(value);
    }
    RegCloseKey(key);
}

SavedKey::~SavedKey()
{
    if (existed) {
        HKEY key;
        if (RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), &key) != ERROR_SUCCESS)
            return;
        RegDeleteValueA(key, nullptr);
        for (const Value& value : values) {
            RegSetValueExA(key, value.name.empty() ? nullptr : value.name.c_str(), 0, value.type,
                           value.data.data(), static_cast<DWORD>(value.data.size()));
        }
        RegCloseKey(key);
        return;
    }
    for (auto level = missingLevels.rbegin(); level != missingLevels.rend(); ++level)
        RegDeleteKeyA(HKEY_CLASSES_ROOT, level->c_str());
}

bool setDefaultValue(const std::string& path, const std::string& value)
{
    HKEY key;
    if (RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), &key) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool removeKey(const std::string& path)
{
    LONG result = RegDeleteKeyA(HKEY_CLASSES_ROOT, path.c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool readDefaultValue(const std::string& path, std::string* value)
{
    char text[8192];
    LONG size = sizeof text;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, path.c_str(), text, &size) != ERROR_SUCCESS)
        return false;
    *value = std::string(text, size > 0 ? static_cast<std::size_t>(size) - 1 : 0);
    return true;
}

const char* const BrowserKeys::OWN = "Software\\Kadrel\\Find\\Browser";
const char* const BrowserKeys::DEFAULT_BROWSER = "HtmlDefBrowser\\shell\\open\\command";
const char* const BrowserKeys::WEB_PAGE = "Htmlfile\\shell\\open\\command";

bool BrowserKeys::set(const char* ownValue, const char* defaultBrowserValue, const char* webPageValue)
{
    const struct {
        const char* path;
        const char* value;
    } keys[] = {{OWN, ownValue}, {DEFAULT_BROWSER, defaultBrowserValue}, {WEB_PAGE, webPageValue}};
    for (const auto& key : keys) {
        bool done = key.value != nullptr ? setDefaultValue(key.path, key.value) : removeKey(key.path);
        if (!done)
            return false;
    }
    return true;
}
