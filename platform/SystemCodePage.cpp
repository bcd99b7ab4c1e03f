#include "platform/SystemCodePage.h"

#include <windows.h>

#include <climits>
#include <string>

namespace {

std::size_t toAnsiCodePage(const char16_t* units, std::size_t count, char* out, std::size_t cap)
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

class SystemCodePage final : public CodePage {
public:
    SystemCodePage()
    {
        for (unsigned byte = 0; byte < 256; ++byte) {
            ansiLeadBytes[byte] = IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(byte)) != FALSE;
            anyLeadByte = anyLeadByte || ansiLeadBytes[byte];
        }
    }

    std::size_t toAnsi(const char16_t* units, std::size_t count, char* out, std::size_t cap) const override
    {
        return toAnsiCodePage(units, count, out, cap);
    }

    std::size_t toUnits(unsigned page, const char* bytes, std::size_t count, char16_t* out,
                        std::size_t cap) const override
    {
        if (count == 0 || count > INT_MAX || cap > INT_MAX)
            return 0;
        int written = MultiByteToWideChar(page == ANSI ? CP_ACP : page, 0, bytes, static_cast<int>(count),
                                          reinterpret_cast<wchar_t*>(out), static_cast<int>(cap));
        return written > 0 ? static_cast<std::size_t>(written) : 0;
    }

    bool isLeadByte(unsigned page, unsigned char byte) const override
    {
        if (page == ANSI)
            return ansiLeadBytes[byte];
        return IsDBCSLeadByteEx(page, byte) != FALSE;
    }

    bool ansiHasLeadBytes() const override { return anyLeadByte; }

    bool knows(unsigned page) const override { return page == ANSI || IsValidCodePage(page) != FALSE; }

private:
    // The ANSI code page's, asked for every page a search reads: each web page looks up all
    // 256 bytes, and the system's answer is a call apiece.
    bool ansiLeadBytes[256];
    bool anyLeadByte = false;
};

}  // namespace

const CodePage& systemCodePage()
{
    // Trivially destroyed: the search thread may still use it while the process exits.
    static const SystemCodePage instance;
    return instance;
}
