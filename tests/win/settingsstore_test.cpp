// The settings file and the Run value on the real profile functions and registry.
#include "app/settingsstore.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/win/harness.h"

namespace {

using settingsstore::IniProfile;

constexpr char kTestValueName[] = "BriskJot settings store test";

std::string TestIniPath() {
    return harness::ExeFolder() + "settingsstore_test.ini";
}

// What the Run value holds, read without the code under test; "<missing>" when absent.
std::string ReadRunValue(const std::string& name, DWORD& type) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return "<missing>";
    }
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    const LONG status =
        RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::string(data) : "<missing>";
}

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { harness::RemoveFile(TestIniPath()); }
    void TearDown() override {
        harness::RemoveFile(TestIniPath());
        settingsstore::DeleteRunValue(kTestValueName);
    }
};

TEST_F(SettingsStoreTest, ProfileTellsMissingFromEmptyKeys) {
    const std::string fits(254, 'a'), fillsBuffer(255, 'b'), long_(700, 'c');
    harness::WriteFile(TestIniPath(),
                       "[Other]\r\nHeight=5\r\n[settings]\r\nWidth=\r\n"
                       "autosave memo=1\r\nLeft = -50 \r\nFits=" +
                           fits + "\r\nFillsBuffer=" + fillsBuffer + "\r\nLong=" + long_ + "\r\n");
    const struct {
        const char* key;
        bool present;
        std::string text;
    } rows[] = {
        {"Width", true, ""},
        {"AutoSave Memo", true, "1"},
        {"LEFT", true, "-50"},
        {"Height", false, "unchanged"},
        {"Top", false, "unchanged"},
        {"Fits", true, fits},
        {"FillsBuffer", true, fillsBuffer},
        {"Long", true, long_},
    };
    IniProfile profile(TestIniPath());
    for (const auto& row : rows) {
        std::string text = "unchanged";
        EXPECT_EQ(row.present, profile.Read(row.key, text)) << row.key;
        EXPECT_EQ(row.text, text) << row.key;
    }

    std::string text;
    EXPECT_FALSE(IniProfile(TestIniPath() + ".absent").Read("Width", text)) << "no file at all";
}

TEST_F(SettingsStoreTest, SavedSettingsSurviveTheFlush) {
    {
        IniProfile profile(TestIniPath());
        ASSERT_TRUE(
            bj::SaveSettings(profile, {true, false, true, false, true}, {-50, 500, 300, 200}));
        profile.Flush();
    }
    const std::string file = harness::ReadFile(TestIniPath());
    for (const char* line : {"[Settings]", "AutoSave Memo=1", "Left=-50", "Width=300"}) {
        EXPECT_NE(file.find(line), std::string::npos) << line << " in " << file;
    }
    std::string text;
    EXPECT_TRUE(IniProfile(TestIniPath()).Read("Warning On ClearMemo", text));
    EXPECT_EQ("1", text);
}

TEST_F(SettingsStoreTest, ReadOnlyFileRefusesWritesUntilTheMarkIsLifted) {
    settingsstore::LiftReadOnly(TestIniPath());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(TestIniPath().c_str()))
        << "lifting the mark creates no file";

    const std::string before = "[Settings]\r\nAutoSave Memo=0\r\n";
    harness::WriteFile(TestIniPath(), before);
    ASSERT_TRUE(SetFileAttributesA(TestIniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    IniProfile profile(TestIniPath());
    EXPECT_FALSE(profile.Write("AutoSave Memo", "1"));
    profile.Flush();
    EXPECT_EQ(before, harness::ReadFile(TestIniPath()));

    settingsstore::LiftReadOnly(TestIniPath());
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_ARCHIVE), GetFileAttributesA(TestIniPath().c_str()));
    EXPECT_TRUE(profile.Write("AutoSave Memo", "1"));
    profile.Flush();
    std::string text;
    EXPECT_TRUE(IniProfile(TestIniPath()).Read("AutoSave Memo", text));
    EXPECT_EQ("1", text);
}

TEST_F(SettingsStoreTest, ProperCasePathWithTheSystemLetterCase) {
    // The non-ASCII rows are written in Windows-1252.
    ASSERT_EQ(1252u, GetACP());
    const struct {
        const char* path;
        const char* expected;
    } rows[] = {
        {"", ""},
        {"c:\\briskjot", "C:\\Briskjot"},
        {"c:\\x\\briskjot.exe", "C:\\X\\BriskJot.exe"},
        {"C:\\PROGRAM FILES\\X", "C:\\Program Files\\X"},
        {"C:\\PROGRAM FILES\\NOTES\\BRISKJOT.EXE", "C:\\Program Files\\Notes\\BriskJot.exe"},
        {"C:\\\xC4PFEL\\BRISKJOT.EXE", "C:\\\xC4pfel\\BriskJot.exe"},
        {"\xE9t\xE9\\\xE4pfel \xF6L\\\xDC", "\xC9t\xE9\\\xC4pfel \xD6l\\\xDC"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.expected, settingsstore::ProperCasePath(row.path)) << row.path;
    }
}

TEST_F(SettingsStoreTest, RunValueWriteExistsDeleteRoundTrip) {
    settingsstore::DeleteRunValue(kTestValueName);
    DWORD type = 0;
    const std::string realBefore = ReadRunValue(settingsstore::kRunValueName, type);
    EXPECT_FALSE(settingsstore::RunValueExists(kTestValueName));

    ASSERT_TRUE(settingsstore::WriteRunValue("c:\\TOOLS\\NOTES\\BRISKJOT.EXE", kTestValueName));
    EXPECT_TRUE(settingsstore::RunValueExists(kTestValueName));
    type = 0;
    EXPECT_EQ("C:\\Tools\\Notes\\BriskJot.exe", ReadRunValue(kTestValueName, type));
    EXPECT_EQ(DWORD(REG_SZ), type);

    // A value from an earlier place is replaced; a blank in the path needs quotes.
    ASSERT_TRUE(settingsstore::WriteRunValue("C:\\PROGRAM FILES\\BRISKJOT.EXE", kTestValueName));
    EXPECT_EQ("\"C:\\Program Files\\BriskJot.exe\"", ReadRunValue(kTestValueName, type));

    settingsstore::DeleteRunValue(kTestValueName);
    EXPECT_FALSE(settingsstore::RunValueExists(kTestValueName));
    EXPECT_EQ("<missing>", ReadRunValue(kTestValueName, type));
    settingsstore::DeleteRunValue(kTestValueName);  // already gone: passed over
    EXPECT_FALSE(settingsstore::RunValueExists(kTestValueName));

    EXPECT_EQ(realBefore, ReadRunValue(settingsstore::kRunValueName, type))
        << "the program's own value is left alone";
}

}  // namespace
