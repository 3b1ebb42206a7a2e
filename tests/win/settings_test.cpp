// The settings file, the Run value and the option commands on the real main window.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "about/formabout.h"
#include "app/commands.h"
#include "app/formmain.h"
#include "app/globals.h"
#include "app/settingsstore.h"
#include "framework/application.h"
#include "tests/win/harness.h"

namespace {

using harness::Program;

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "BriskJot";
constexpr char kMissing[] = "<missing>";

// The nine keys in file order; rows of expected values follow this order.
constexpr const char* kKeys[] = {
    "AutoSave Memo",
    "Height",
    "Left",
    "Show On StartUp",
    "Start With Windows",
    "Top",
    "Warning On Clear Clipboard",
    "Warning On ClearMemo",
    "Width",
};
enum KeyIndex { kAutoSave, kHeight, kLeft, kShow, kStart, kTop, kClipboard, kMemo, kWidth };
using IniValues = std::array<std::string, 9>;

IniValues ReadIni() {
    IniValues values;
    for (std::size_t i = 0; i < values.size(); ++i) {
        char text[256] = {};
        GetPrivateProfileStringA("Settings", kKeys[i], kMissing, text, sizeof text,
                                 harness::SettingsPath().c_str());
        values[i] = text;
    }
    return values;
}

std::string Lines(const IniValues& values) {
    std::string lines;
    for (std::size_t i = 0; i < values.size(); ++i) lines += kKeys[i] + ("=" + values[i]) + "\r\n";
    return lines;
}

std::string ReadRunValue(DWORD* type = nullptr) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return kMissing;
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD valueType = 0;
    const LONG status =
        RegQueryValueExA(key, kRunValue, nullptr, &valueType, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (type) *type = valueType;
    return status == ERROR_SUCCESS ? std::string(data) : kMissing;
}

void WriteRunValue(const std::string& data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
}

void DeleteRunValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, kRunValue);
    RegCloseKey(key);
}

// What the Run value must hold for this test program: its own path in the letter case the
// store gives it, in quotes when a blank would split it.
std::string ExpectedRunValue() {
    const std::string path = settingsstore::ProperCasePath(fw::Application.ExeName());
    EXPECT_EQ(lstrcmpiA(path.c_str(), fw::Application.ExeName().c_str()), 0);
    return path.find(' ') == std::string::npos ? path : '"' + path + '"';
}

// The item's own state, checked against the live pop-up menu the user sees.
bool MenuChecked(TFormMain& form, const fw::TMenuItem& item) {
    const UINT state = GetMenuState(form.PopupMenu1.Handle(), item.Command(), MF_BYCOMMAND);
    EXPECT_NE(state, UINT(-1)) << item.Caption();
    EXPECT_EQ((state & MF_CHECKED) != 0, item.Checked()) << item.Caption();
    return item.Checked();
}

struct Checks {
    bool autoSave, showOnStartUp, startWithWindows, warningOnClearClipboard, warningOnClearMemo;
};

void ExpectChecks(TFormMain& form, const Checks& expected, const std::string& where) {
    EXPECT_EQ(MenuChecked(form, form.PopUpAutoSave), expected.autoSave) << where;
    EXPECT_EQ(MenuChecked(form, form.PopUpShowOnStartUp), expected.showOnStartUp) << where;
    EXPECT_EQ(MenuChecked(form, form.PopUpStartWithWindows), expected.startWithWindows) << where;
    EXPECT_EQ(MenuChecked(form, form.PopUpWarningOnClearClipboard),
              expected.warningOnClearClipboard)
        << where;
    EXPECT_EQ(MenuChecked(form, form.PopUpWarningOnClearMemo), expected.warningOnClearMemo)
        << where;
}

struct Place {
    int left, top, width, height;
};
constexpr Place kDefaultPlace = {615, 521, 409, 219};

void ExpectPlace(TFormMain& form, const Place& expected, const std::string& where) {
    const RECT r = form.Bounds();
    EXPECT_EQ(r.left, expected.left) << where;
    EXPECT_EQ(r.top, expected.top) << where;
    EXPECT_EQ(r.right - r.left, expected.width) << where;
    EXPECT_EQ(r.bottom - r.top, expected.height) << where;
}

void Command(TFormMain& form, unsigned id) {
    SendMessageA(form.Handle(), WM_COMMAND, id, 0);
    harness::Pump();
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768) << "the tests expect a 1024 x 768 screen";
        DeleteRunValue();
        harness::RemoveFile(harness::NotePath());
    }
    void TearDown() override {
        DeleteRunValue();
        harness::RemoveFile(harness::SettingsPath());
        harness::RemoveFile(harness::NotePath());
    }
};

TEST_F(SettingsTest, FirstRunWritesEveryKeyAndTheRunCommandFollowsTheCheckMark) {
    Program program(true, "");
    TFormMain& form = program.Main();
    EXPECT_EQ(ReadIni(), (IniValues{"0", "219", "615", "1", "1", "521", "1", "1", "409"}));
    ExpectPlace(form, kDefaultPlace, "first run");
    EXPECT_TRUE(form.Visible());
    ExpectChecks(form, {false, true, true, true, true}, "first run");
    EXPECT_EQ(ReadRunValue(), kMissing) << "the check mark alone says nothing of the registry";
    EXPECT_FALSE(form.PopUpFindReplace.Enabled());
    EXPECT_FALSE(form.PopUpPrint.Enabled());

    // Off deletes a value that is not there; on writes it; off again deletes it.
    const struct {
        bool checked;
        std::string runValue;
    } steps[] = {{false, kMissing}, {true, ExpectedRunValue()}, {false, kMissing}};
    for (const auto& step : steps) {
        Command(form, cmd::PopUpStartWithWindows);
        const std::string where = step.checked ? "switched on" : "switched off";
        EXPECT_EQ(MenuChecked(form, form.PopUpStartWithWindows), step.checked) << where;
        DWORD type = 0;
        EXPECT_EQ(ReadRunValue(&type), step.runValue) << where;
        if (step.checked) {
            EXPECT_EQ(type, DWORD(REG_SZ));
        }
        EXPECT_EQ(ReadIni()[kStart], step.checked ? "1" : "0") << where;
    }
    EXPECT_FALSE(fw::Application.Terminated());
}

TEST_F(SettingsTest, DamagedFilesAreRepairedAndTheWindowPlaced) {
    const struct {
        const char* name;
        std::string lines;
        IniValues repaired;
        Checks checks;
        Place place;
        bool visible;
    } rows[] = {
        {"too tall for the screen, Booleans out of range or not numbers",
         Lines({"2", "300", "100", "-1", "7", "500", "abc", "0x0", "300"}),
         {"0", "219", "615", "1", "1", "521", "abc", "0x0", "409"},
         {false, true, true, true, false},
         kDefaultPlace,
         true},
        {"hexadecimal values",
         Lines({"$1", "0xC8", "0X10", "1", "0", "$64", "0", "1", "0x12c"}),
         {"$1", "0xC8", "0X10", "1", "0", "$64", "0", "1", "0x12c"},
         {true, true, false, false, true},
         {16, 100, 300, 200},
         true},
        {"left at the screen edge passes, but the width then does not fit",
         Lines({"0", "200", "1024", "1", "1", "100", "1", "1", "300"}),
         {"0", "219", "615", "1", "1", "521", "1", "1", "409"},
         {false, true, true, true, true},
         kDefaultPlace,
         true},
        {"not shown at start, partly left of the screen",
         Lines({"0", "150", "-50", "0", "1", "200", "1", "1", "300"}),
         {"0", "150", "-50", "0", "1", "200", "1", "1", "300"},
         {false, false, true, true, true},
         {-50, 200, 300, 150},
         false},
        {"missing and empty keys",
         "autosave memo=1\r\nWidth=\r\n",
         {"1", "219", "615", "1", "1", "521", "1", "1", "409"},
         {true, true, true, true, true},
         kDefaultPlace,
         true},
    };
    for (const auto& row : rows) {
        Program program(true, row.lines);
        TFormMain& form = program.Main();
        EXPECT_EQ(ReadIni(), row.repaired) << row.name;
        ExpectChecks(form, row.checks, row.name);
        ExpectPlace(form, row.place, row.name);
        EXPECT_EQ(form.Visible(), row.visible) << row.name;
        EXPECT_EQ(form.WindowHidden(), !row.visible) << row.name;
    }
}

TEST_F(SettingsTest, ARunValueFromAnotherFolderIsRewrittenAtStart) {
    for (const char* startWithWindows : {"0", "1"}) {
        WriteRunValue("C:\\Old Place\\briskjot.exe");
        IniValues file = {"1", "200", "100", "1", "", "100", "1", "1", "300"};
        file[kStart] = startWithWindows;
        Program program(true, Lines(file));
        DWORD type = 0;
        EXPECT_EQ(ReadRunValue(&type), ExpectedRunValue());
        EXPECT_EQ(type, DWORD(REG_SZ));
        EXPECT_EQ(MenuChecked(program.Main(), program.Main().PopUpStartWithWindows),
                  file[kStart] == "1")
            << "the check mark follows the file";
        EXPECT_EQ(ReadIni(), file);
    }
}

TEST_F(SettingsTest, EveryOptionCommandSavesAllSettingsWithTheCurrentPlace) {
    const IniValues start = {"1", "200", "100", "1", "0", "100", "1", "1", "300"};
    Program program(true, Lines(start));
    TFormMain& form = program.Main();
    const struct {
        unsigned command;
        fw::TMenuItem TFormMain::*item;
        KeyIndex key;
        Place place;
        bool hidden;
    } rows[] = {
        {cmd::PopUpStartWithWindows,
         &TFormMain::PopUpStartWithWindows,
         kStart,
         {10, 20, 330, 240},
         false},
        {cmd::PopUpShowOnStartUp,
         &TFormMain::PopUpShowOnStartUp,
         kShow,
         {-40, 300, 250, 210},
         false},
        {cmd::PopUpWarningOnClearMemo,
         &TFormMain::PopUpWarningOnClearMemo,
         kMemo,
         {500, 400, 260, 220},
         true},
        {cmd::PopUpWarningOnClearClipboard,
         &TFormMain::PopUpWarningOnClearClipboard,
         kClipboard,
         {200, 50, 400, 300},
         false},
        {cmd::PopUpStartWithWindows,
         &TFormMain::PopUpStartWithWindows,
         kStart,
         {30, 40, 350, 250},
         false},
    };
    IniValues expected = start;
    for (const auto& row : rows) {
        fw::TMenuItem& item = form.*(row.item);
        const std::string where = item.Caption();
        MoveWindow(form.Handle(), row.place.left, row.place.top, row.place.width, row.place.height,
                   TRUE);
        if (row.hidden) form.Hide();
        ExpectPlace(form, row.place, where + " before");
        const bool wasChecked = item.Checked();

        Command(form, row.command);

        EXPECT_EQ(MenuChecked(form, item), !wasChecked) << where;
        expected[row.key] = wasChecked ? "0" : "1";
        expected[kLeft] = std::to_string(row.place.left);
        expected[kTop] = std::to_string(row.place.top);
        expected[kWidth] = std::to_string(row.place.width);
        expected[kHeight] = std::to_string(row.place.height);
        EXPECT_EQ(ReadIni(), expected) << where;
        if (row.key == kStart) {
            EXPECT_EQ(ReadRunValue(), wasChecked ? kMissing : ExpectedRunValue()) << where;
        }
        form.Show();
    }
    EXPECT_FALSE(fw::Application.Terminated());
}

// HKEY_CURRENT_USER of this process mapped to a volatile key, under which the Run key cannot
// be created: the registry refuses the value as it would on a locked-down account.
class RunKeyRefused {
public:
    RunKeyRefused() {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\BriskJot settings test", 0, nullptr,
                        REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &root_, nullptr);
        EXPECT_TRUE(root_);
        EXPECT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, root_), ERROR_SUCCESS);
    }
    ~RunKeyRefused() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(root_);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\BriskJot settings test");
    }

private:
    HKEY root_ = nullptr;
};

TEST_F(SettingsTest, ARefusedRunValueLeavesTheOptionOffAndSaysSo) {
    Program program(true, Lines({"1", "200", "100", "1", "0", "100", "1", "1", "300"}));
    TFormMain& form = program.Main();
    {
        RunKeyRefused refused;
        harness::MessageBoxScript boxes;
        boxes.Answer(IDOK);
        Command(form, cmd::PopUpStartWithWindows);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].caption, "BriskJot - Start With Windows");
        EXPECT_EQ(boxes.Shown()[0].flags, UINT(MB_OK | MB_ICONEXCLAMATION));
    }
    EXPECT_FALSE(MenuChecked(form, form.PopUpStartWithWindows));
    EXPECT_EQ(ReadIni()[kStart], "0");
    EXPECT_EQ(ReadRunValue(), kMissing);
    EXPECT_FALSE(fw::Application.Terminated());
}

TEST_F(SettingsTest, AFileThatCannotBeWrittenNeverEndsTheProgramNorLosesText) {
    const IniValues damaged = {"0", "300", "100", "9", "0", "500", "1", "0", "300"};
    Program program(/*withAbout=*/false, Lines(damaged));
    TFormMain& form = program.Main();
    const std::string path = harness::SettingsPath();
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string bytes = harness::ReadFile(path);
    {
        TFormAbout about;  // loads the settings, as at start
        EXPECT_FALSE(fw::Application.Terminated());
        EXPECT_EQ(harness::ReadFile(path), bytes) << "the repairs could not be written";
        ExpectChecks(form, {false, true, false, true, false}, "repaired in memory");
        ExpectPlace(form, kDefaultPlace, "repaired in memory");
        EXPECT_TRUE(form.Visible());

        // Saving lifts the read-only mark, so the repaired values reach the file.
        Command(form, cmd::PopUpWarningOnClearClipboard);
        EXPECT_EQ(GetFileAttributesA(path.c_str()), DWORD(FILE_ATTRIBUTE_ARCHIVE));
        EXPECT_EQ(ReadIni(), (IniValues{"0", "219", "615", "1", "0", "521", "0", "0", "409"}));
    }

    // Held open without sharing by another program: nothing can be written at all.
    const std::string before = harness::ReadFile(path);
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Command(form, cmd::PopUpWarningOnClearMemo);
    EXPECT_FALSE(fw::Application.Terminated());
    EXPECT_TRUE(MenuChecked(form, form.PopUpWarningOnClearMemo)) << "kept for this run";

    ASSERT_TRUE(FormActivated);
    form.Memo1->ReplaceSel("unsaved", true);
    harness::Pump();
    ASSERT_TRUE(form.MenuSave.Enabled());
    harness::MessageBoxScript boxes;
    boxes.Answer(IDYES);
    form.PopUpExit.Click();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].caption, "BriskJot - Save On Exit?");
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), "unsaved");
    EXPECT_TRUE(fw::Application.Terminated());
    CloseHandle(lock);
    EXPECT_EQ(harness::ReadFile(path), before);
}

}  // namespace
