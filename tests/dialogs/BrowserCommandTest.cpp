#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "RegistryKeys.h"
#include "dialogs/BrowserCommand.h"

namespace {

TEST(BrowserCommand, LoadTakesTheFirstRegistrySourcePresent)
{
    const std::string tooLong(5000, 'x');
    const std::string longest(4095, 'y');
    const struct {
        const char* own;
        const char* defaultBrowser;
        const char* webPage;
        std::string text;
        int length;
        int found;
    } cases[] = {
        {nullptr, nullptr, nullptr, "<<Unknown>>", 12, 0},
        {nullptr, nullptr, "Z:\\web.exe %1", "Z:\\web.exe", 10, 1},
        {nullptr, nullptr, "\"Z:\\my web.exe\" -url \"%1\"", "\"Z:\\my web.exe\" -url", 20, 1},
        {nullptr, nullptr, "Z:\\web.exe \"%1\" -new", "Z:\\web.exe \"%1\" -new", 21, 1},  // not last: kept
        {nullptr, "abcd", nullptr, "ab", 2, 1},
        {nullptr, "Z:\\def.exe %1", "Z:\\web.exe", "Z:\\def.exe ", 11, 1},
        {nullptr, "\"Z:\\my def.exe\" \"%1\"", nullptr, "\"Z:\\my def.exe\"", 15, 1},
        {nullptr, "a", nullptr, "", 0, 1},  // nothing left once the last two go
        {nullptr, "", nullptr, "", 0, 1},
        {"Z:\\own.exe", "Z:\\def.exe %1", "Z:\\web.exe", "Z:\\own.exe", 11, 1},
        {tooLong.c_str(), nullptr, "Z:\\web.exe", "Z:\\web.exe", 11, 1},  // does not fit: next source
        {longest.c_str(), nullptr, nullptr, longest, 4096, 1},
    };
    for (const auto& c : cases) {
        BrowserKeys keys;
        ASSERT_TRUE(keys.set(c.own, c.defaultBrowser, c.webPage));
        BrowserCommand command;
        std::memset(command.text, '#', sizeof command.text);
        int found = command.loadFromRegistry();
        std::string text(command.text, strnlen(command.text, sizeof command.text));
        SCOPED_TRACE(c.text.substr(0, 40));
        EXPECT_EQ(c.found, found);
        EXPECT_EQ(c.text, text);
        EXPECT_EQ(c.length, command.length);
    }
}

TEST(BrowserCommand, SavedCommandIsFoundFirstNextTime)
{
    BrowserKeys keys;
    ASSERT_TRUE(keys.set(nullptr, "Z:\\def.exe %1", nullptr));
    BrowserCommand command;
    for (const char* saved : {"Z:\\first browser.exe -new", "Z:\\second.exe"}) {
        std::strcpy(command.text, saved);
        command.length = static_cast<int>(std::strlen(saved));
        command.saveToRegistry();
        std::string stored;
        EXPECT_TRUE(readDefaultValue(BrowserKeys::OWN, &stored));
        EXPECT_EQ(saved, stored);

        BrowserCommand loaded;
        EXPECT_EQ(1, loaded.loadFromRegistry());
        EXPECT_STREQ(saved, loaded.text);
    }
}

TEST(BrowserCommand, LaunchLineQuotesAPathWithBlanksAndNeverCuts)
{
    const struct {
        const char* command;
        const char* path;
        std::size_t cap;
        const char* line;  // nullptr: refused
    } cases[] = {
        {"Z:\\b.exe", "T:\\page.htm", 64, "Z:\\b.exe T:\\page.htm"},
        {"Z:\\b.exe -new", "T:\\my docs\\a page.htm", 64, "Z:\\b.exe -new \"T:\\my docs\\a page.htm\""},
        {"", "T:\\p.htm", 64, " T:\\p.htm"},
        {"cmd", "T:\\p.htm", 13, "cmd T:\\p.htm"},  // 12 characters and the terminator
        {"cmd", "T:\\p.htm", 12, nullptr},
        {"cmd", "T:\\a b", 13, "cmd \"T:\\a b\""},  // the quotes count
        {"cmd", "T:\\a b", 12, nullptr},
    };
    for (const auto& c : cases) {
        char line[64] = "unchanged";
        bool fitted = composeLaunchCommand(line, c.cap, c.command, c.path);
        EXPECT_EQ(c.line != nullptr, fitted) << c.command << " + " << c.path << " in " << c.cap;
        EXPECT_STREQ(c.line != nullptr ? c.line : "unchanged", line);
    }
}

}  // namespace
