// The keys under HKEY_CLASSES_ROOT that the browser command is read from, set up for a test
// and put back afterwards, so the prefix's own associations survive every run.
#pragma once
#include <string>
#include <vector>

// The default value of a key under HKEY_CLASSES_ROOT; false when the key is missing.
bool readDefaultValue(const std::string& path, std::string* value);

class BrowserKeys {
public:
    static const char* const OWN;

    BrowserKeys();
    ~BrowserKeys();
    BrowserKeys(const BrowserKeys&) = delete;
    BrowserKeys& operator=(const BrowserKeys&) = delete;

    // Gives each key, in the order they are tried, that default value, or removes it for nullptr.
    bool set(const char* own, const char* defaultBrowser, const char* webPage);

private:
    // These keys hold nothing but their default value, so that is all that is kept.
    struct Saved {
        std::string path;
        std::string value;
        std::vector<std::string> missingLevels;  // outermost first; empty when the key existed
    };
    Saved saved[3];
};
