// Windows path text, the F5 time stamp and the hot key text.
#include <gtest/gtest.h>

#include <string>

#include "app/hotkeytext.h"
#include "app/timestamp.h"
#include "base/filesys.h"

namespace {

TEST(PathText, ExtensionAndFolderOfTheLastName) {
    const std::pair<const char*, const char*> withChm[] = {
        {"C:\\My.Tools\\BriskJot", "C:\\My.Tools\\BriskJot.chm"},  // dot in a folder
        {"C:\\a\\b.tar.gz", "C:\\a\\b.tar.chm"},
    };
    for (const auto& [name, expected] : withChm) EXPECT_EQ(ChangeFileExt(name, ".chm"), expected);
    EXPECT_EQ(ExtractFilePath("C:\\Tools\\BriskJot.exe"), "C:\\Tools\\");
    EXPECT_EQ(ExtractFilePath("C:BriskJot.exe"), "C:");
}

TEST(TimeStamp, TwoDigitTimeClampedToTheClock) {
    EXPECT_EQ(bj::FormatTimeStamp("x", 24, 60, ":"), "x, 23:59\r\n");
    EXPECT_EQ(bj::FormatTimeStamp("x", -1, -5, ":"), "x, 00:00\r\n");
}

TEST(HotKeyText, ParsedAndPrinted) {
    using bj::kModAlt;
    using bj::kModCtrl;
    using bj::kModShift;
    using bj::kModWin;
    const struct {
        const char* text;
        bool parses;
        bj::HotKey key;
        const char* printed;
    } rows[] = {
        // clang-format off
        {"Ctrl+Alt+J", true, {kModCtrl | kModAlt, 'J'}, "Ctrl+Alt+J"},
        {" alt + control+j ", true, {kModCtrl | kModAlt, 'J'}, "Ctrl+Alt+J"},
        {"Shift+Win+Ctrl+Alt+0", true, {kModCtrl | kModAlt | kModShift | kModWin, '0'},
         "Ctrl+Alt+Shift+Win+0"},
        {"F1", true, {0, 0x70}, "F1"},
        {"shift+f24", true, {kModShift, 0x87}, "Shift+F24"},
        {"Win+F10", true, {kModWin, 0x79}, "Win+F10"},
        {" ", true, {}, ""},
        {"J", false, {}, ""},
        {"Shift+J", false, {}, ""},
        {"Ctrl+Ctrl+J", false, {}, ""},
        {"Ctrl+J+Alt", false, {}, ""},
        {"Ctrl++J", false, {}, ""},
        {"Ctrl+Alt", false, {}, ""},
        {"Ctrl+F25", false, {}, ""},
        {"Ctrl+Space", false, {}, ""},
        {"Ctrl+Alt+\xE9", false, {}, ""},
        // clang-format on
    };
    for (const auto& row : rows) {
        bj::HotKey key{kModShift, 'X'};  // a refused text must leave it alone
        EXPECT_EQ(row.parses, bj::ParseHotKey(row.text, key)) << row.text;
        const bj::HotKey expected = row.parses ? row.key : bj::HotKey{kModShift, 'X'};
        EXPECT_TRUE(expected == key) << row.text;
        if (row.parses) {
            EXPECT_EQ(row.printed, bj::HotKeyText(key)) << row.text;
        }
    }
}

}  // namespace
