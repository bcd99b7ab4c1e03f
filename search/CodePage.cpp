#include "search/CodePage.h"

#include <windows.h>

#include <climits>
#include <string>

std::size_t unitsToAnsi(const char16_t* units, std::size_t count, char* out, std::size_t cap)
{
    if (count == 0 || count > INT_MAX / 4 || cap > INT_MAX)
        return 0;
    static_assert(sizeof(char16_t) == sizeof(wchar_t), "Windows' wide characters are UTF-16 code units");
    UINT codePage = GetACP();
    bool holdsEverything = codePage == CP_UTF8 || codePage == CP_UTF7;
    // A character beyond the first 65,536 is one "?" where the page cannot hold it, not
    // one for each half of its pair.
    std::u16string single;
    if (!holdsEverything) {
        for (std::size_t i = 0; i < count; ++i) {
            bool high = units[i] >= 0xD800 && units[i] <= 0xDBFF;
            if (high && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
                if (single.empty())
                    single.assign(units, i);
                single += u'?';
                ++i;
            } else if (!single.empty()) {
                single += units[i];
            }
        }
        if (!single.empty()) {
            units = single.data();
            count = single.size();
        }
    }
    // The flag that refuses look-alikes is refused itself by the code pages that hold every
    // character anyway.
    DWORD flags = holdsEverything ? 0 : WC_NO_BEST_FIT_CHARS;
    int written = WideCharToMultiByte(CP_ACP, flags, reinterpret_cast<const wchar_t*>(units), static_cast<int>(count),
                                      out, static_cast<int>(cap), nullptr, nullptr);
    return written > 0 ? static_cast<std::size_t>(written) : 0;
}
