// The settings store on the real profile functions and letter case. Its Run value is
// checked through the option commands in settings_test.cpp.
#include "app/settingsstore.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/win/harness.h"

namespace {

using settingsstore::IniProfile;

TEST(SettingsStoreTest, ProfileTellsMissingFromEmptyKeysAndReadsLongValuesWhole) {
    const std::string path = harness::ExeFolder() + "settingsstore_test.ini";
    // Around the first buffer's size, and well past it.
    const std::string fits(254, 'a'), fillsBuffer(255, 'b'), long_(700, 'c');
    harness::WriteFile(path,
                       "[Other]\r\nHeight=5\r\n[settings]\r\nWidth=\r\nautosave memo=1\r\n"
                       "Left = -50 \r\nFits=" +
                           fits + "\r\nFillsBuffer=" + fillsBuffer + "\r\nLong=" + long_ + "\r\n");
    const struct {
        const char* key;
        bool present;
        std::string text;
    } rows[] = {
        {"Width", true, ""},       {"AutoSave Memo", true, "1"}, {"LEFT", true, "-50"},
        {"Height", false, "kept"}, {"Fits", true, fits},         {"FillsBuffer", true, fillsBuffer},
        {"Long", true, long_},
    };
    IniProfile profile(path);
    for (const auto& row : rows) {
        std::string text = "kept";
        EXPECT_EQ(row.present, profile.Read(row.key, text)) << row.key;
        EXPECT_EQ(row.text, text) << row.key;
    }
    std::string text;
    EXPECT_FALSE(IniProfile(path + ".absent").Read("Width", text)) << "no file at all";
    harness::RemoveFile(path);
}

TEST(SettingsStoreTest, ProperCasePathWithTheSystemLetterCase) {
    ASSERT_EQ(1252u, GetACP()) << "the non-ASCII rows are written in Windows-1252";
    EXPECT_EQ("C:\\Program Files\\Notes\\BriskJot.exe",
              settingsstore::ProperCasePath("C:\\PROGRAM FILES\\NOTES\\BRISKJOT.EXE"));
    EXPECT_EQ("\xC9t\xE9\\\xC4pfel \xD6l\\\xDC",
              settingsstore::ProperCasePath("\xE9t\xE9\\\xE4pfel \xF6L\\\xDC"));
}

}  // namespace
