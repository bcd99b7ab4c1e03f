// Sets up keys under HKEY_CLASSES_ROOT for a test and puts them back afterwards, so the
// prefix's own associations survive every run.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Remembers a key path's values, and which levels of the path were missing, until destroyed;
// then restores the values and removes the levels the test created.
class SavedKey {
public:
    explicit SavedKey(const std::string& path);
    ~SavedKey();
    SavedKey(const SavedKey&) = delete;
    SavedKey& operator=(const SavedKey&) = delete;

private:
    struct Value {
        std::string name;
        DWORD type;
        std::vector<BYTE> data;
    };
    std::string path;
    std::vector<std::string> missingLevels;  // outermost first
    bool existed = false;
    std::vector<Value> values;
};

// Creates the key if needed and sets its default value.
bool setDefaultValue(const std::string& path, const std::string& value);
// Deletes the key (it must have no subkeys). A missing key is fine.
bool removeKey(const std::string& path);
// The default value, or false when the key is missing.
bool readDefaultValue(const std::string& path, std::string* value);

// The three keys the browser command is read from, in the order they are tried; kept for
// the length of a test and put back after it.
class BrowserKeys {
public:
    static const char* const OWN;
    static const char* const DEFAULT_BROWSER;
    static const char* const WEB_PAGE;

    // Gives each key that value as its default, or removes it for nullptr.
    bool set(const char* own, const char* defaultBrowser, const char* webPage);

private:
    SavedKey own{OWN};
    SavedKey defaultBrowser{DEFAULT_BROWSER};
    SavedKey webPage{WEB_PAGE};
};
