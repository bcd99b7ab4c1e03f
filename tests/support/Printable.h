// Text a failed expectation can show: every code unit outside printable ASCII as <XXXX>.
#pragma once
#include <cstdio>
#include <string>

inline std::string printable(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, c >= 0x20 && c < 0x7F ? "%c" : "<%04X>", static_cast<unsigned>(c));
        out += buffer;
    }
    return out;
}
