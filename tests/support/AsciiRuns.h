// Whether every run of ASCII letters and digits in a reader's text is a run of the file's
// bytes: what text/WordsInBytes.h claims of each file it answers true for.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

inline bool asciiRunsStandIn(const std::u16string& text, const std::uint8_t* data, std::size_t size)
{
    auto isAsciiWord = [](char16_t c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    };
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string run;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && isAsciiWord(text[i])) {
            run.push_back(static_cast<char>(text[i]));
            continue;
        }
        if (!run.empty() && bytes.find(run) == std::string::npos)
            return false;
        run.clear();
    }
    return true;
}
