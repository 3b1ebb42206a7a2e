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
constexpr char kMissing[] = "<missing>";

// The nine keys in file order; IniValues follow it.
// clang-format off
constexpr const char* kKeys[] = {"AutoSave Memo", "Height", "Left", "Show On StartUp",
    "Start With Windows", "Top", "Warning On Clear Clipboard", "Warning On ClearMemo", "Width"};
// clang-format on
enum KeyIndex { kAutoSave, kHeight, kLeft, kShow, kStart, kTop, kClipboard, kMemo, kWidth };
using IniValues = std::array<std::string, 9>;
const IniValues kFirstRun = {"0", "219", "615", "1", "1", "521", "1", "1", "409"};
const IniValues kStart0 = {"1", "200", "100", "1", "0", "100", "1", "1", "300"};

using Place = std::array<LONG, 4>;  // left, top, width, height
constexpr Place kDefaultPlace = {615, 521, 409, 219};

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

// Read without the code under test; a value of another type counts as missing.
std::string ReadRunValue() {
    char data[1024] = {};
    DWORD size = sizeof data;
    return RegGetValueA(HKEY_CURRENT_USER, kRunKey, "BriskJot", RRF_RT_REG_SZ, nullptr, data,
                        &size) == ERROR_SUCCESS
               ? data
               : kMissing;
}

// This test program's own path in the store's letter case, quoted when a blank would split it.
std::string ExpectedRunValue() {
    const std::string path = settingsstore::ProperCasePath(fw::Application.ExeName());
    EXPECT_EQ(lstrcmpiA(path.c_str(), fw::Application.ExeName().c_str()), 0);
    return path.find(' ') == std::string::npos ? path : '"' + path + '"';
}

// The five option marks in file order, as "0"/"1", each checked against the live pop-up menu.
std::string Marks(TFormMain& form) {
    std::string marks;
    for (const fw::TMenuItem* item :
         {&form.PopUpAutoSave, &form.PopUpShowOnStartUp, &form.PopUpStartWithWindows,
          &form.PopUpWarningOnClearClipboard, &form.PopUpWarningOnClearMemo}) {
        const UINT state = GetMenuState(form.PopupMenu1.Handle(), item->Command(), MF_BYCOMMAND);
        EXPECT_NE(state, UINT(-1)) << item->Caption();
        EXPECT_EQ((state & MF_CHECKED) != 0, item->Checked()) << item->Caption();
        marks += item->Checked() ? '1' : '0';
    }
    return marks;
}

Place PlaceOf(TFormMain& form) {
    const RECT r = form.Bounds();
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Command(TFormMain& form, unsigned id) {
    SendMessageA(form.Handle(), WM_COMMAND, id, 0);
    harness::Pump();
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768) << "the tests expect a 1024 x 768 screen";
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "BriskJot");
        harness::RemoveFile(harness::NotePath());
    }
    void TearDown() override {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "BriskJot");
        harness::RemoveFile(harness::SettingsPath());
        harness::RemoveFile(harness::NotePath());
    }
};

// The repairs themselves are unit-tested; a damaged file is an end-to-end fault case.
TEST_F(SettingsTest, LoadingFillsTheFileAndPlacesTheWindow) {
    {
        Program program(true, "");  // a first run
        EXPECT_EQ(ReadIni(), kFirstRun);
        EXPECT_EQ(Marks(program.Main()), "01111");
        EXPECT_EQ(PlaceOf(program.Main()), kDefaultPlace);
        EXPECT_TRUE(program.Main().Visible());
        EXPECT_EQ(ReadRunValue(), kMissing) << "the check mark alone says nothing of the registry";
    }
    // Not shown at start, partly left of the screen.
    const IniValues hidden = {"0", "150", "-50", "0", "1", "200", "1", "1", "300"};
    Program program(true, Lines(hidden));
    EXPECT_EQ(ReadIni(), hidden);
    EXPECT_EQ(Marks(program.Main()), "00111");
    EXPECT_EQ(PlaceOf(program.Main()), (Place{-50, 200, 300, 150}));
    EXPECT_FALSE(program.Main().Visible());
    EXPECT_TRUE(program.Main().WindowHidden());
}

TEST_F(SettingsTest, ARunValueFromAnotherFolderIsRewrittenAtStart) {
    for (const char* startWithWindows : {"0", "1"}) {
        SCOPED_TRACE(startWithWindows);
        const std::string old = "C:\\Old Place\\briskjot.exe";
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kRunKey, "BriskJot", REG_SZ, old.c_str(),
                                  static_cast<DWORD>(old.size() + 1)),
                  ERROR_SUCCESS);
        IniValues file = kStart0;
        file[kStart] = startWithWindows;
        Program program(true, Lines(file));
        EXPECT_EQ(ReadRunValue(), ExpectedRunValue());
        EXPECT_EQ(Marks(program.Main())[2], *startWithWindows) << "the mark follows the file";
        EXPECT_EQ(ReadIni(), file);
    }
}

TEST_F(SettingsTest, EveryOptionCommandSavesAllSettingsWithTheCurrentPlaceAndTheRunValue) {
    Program program(true, Lines(kStart0));
    TFormMain& form = program.Main();
    const struct {
        fw::TMenuItem TFormMain::*item;
        KeyIndex key;
        Place place;
        bool hidden;
    } rows[] = {
        // clang-format off
        {&TFormMain::PopUpStartWithWindows, kStart, {10, 20, 330, 240}, false},
        {&TFormMain::PopUpShowOnStartUp, kShow, {-40, 300, 250, 210}, false},
        {&TFormMain::PopUpWarningOnClearMemo, kMemo, {500, 400, 260, 220}, true},
        {&TFormMain::PopUpWarningOnClearClipboard, kClipboard, {200, 50, 400, 300}, false},
        {&TFormMain::PopUpStartWithWindows, kStart, {30, 40, 350, 250}, false},
        // clang-format on
    };
    IniValues expected = kStart0;
    for (const auto& row : rows) {
        fw::TMenuItem& item = form.*(row.item);
        SCOPED_TRACE(item.Caption());
        const auto [left, top, width, height] = row.place;
        MoveWindow(form.Handle(), left, top, width, height, TRUE);
        if (row.hidden) form.Hide();
        const bool wasChecked = expected[row.key] == "1";
        Command(form, item.Command());
        expected[row.key] = wasChecked ? "0" : "1";
        expected[kLeft] = std::to_string(left);
        expected[kTop] = std::to_string(top);
        expected[kWidth] = std::to_string(width);
        expected[kHeight] = std::to_string(height);
        EXPECT_EQ(ReadIni(), expected);
        EXPECT_EQ(Marks(form), expected[kAutoSave] + expected[kShow] + expected[kStart] +
                                   expected[kClipboard] + expected[kMemo]);
        if (row.key == kStart) {
            EXPECT_EQ(ReadRunValue(), wasChecked ? kMissing : ExpectedRunValue());
        }
        form.Show();
    }

    // This process's HKEY_CURRENT_USER mapped to a volatile key, under which the Run key
    // cannot be created, as on a locked-down account: the option stays off and the user is told.
    constexpr char kVolatile[] = "Software\\BriskJot settings test";
    HKEY root = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kVolatile, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &root, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, root), ERROR_SUCCESS);
    {
        harness::MessageBoxScript boxes;
        boxes.Answer(IDOK);
        Command(form, cmd::PopUpStartWithWindows);
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(root);
        RegDeleteKeyA(HKEY_CURRENT_USER, kVolatile);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].caption, "BriskJot - Start With Windows");
        EXPECT_EQ(boxes.Shown()[0].flags, UINT(MB_OK | MB_ICONEXCLAMATION));
    }
    EXPECT_EQ(Marks(form)[2], '0');
    EXPECT_EQ(ReadIni()[kStart], "0");
    EXPECT_EQ(ReadRunValue(), kMissing);
    EXPECT_FALSE(fw::Application.Terminated());
}

TEST_F(SettingsTest, AFileThatCannotBeWrittenNeverEndsTheProgramNorLosesText) {
    Program program(/*withAbout=*/false,
                    Lines({"0", "300", "100", "9", "0", "500", "1", "0", "300"}));
    TFormMain& form = program.Main();
    const std::string path = harness::SettingsPath();
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string bytes = harness::ReadFile(path);
    {
        TFormAbout about;  // loads the settings, as at start
        EXPECT_EQ(harness::ReadFile(path), bytes) << "the repairs could not be written";
        EXPECT_EQ(Marks(form), "01010") << "repaired in memory";
        EXPECT_EQ(PlaceOf(form), kDefaultPlace);
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
    EXPECT_EQ(Marks(form)[4], '1') << "kept for this run";

    // Nor does it stop the note being saved at exit.
    ASSERT_TRUE(FormActivated);
    form.Memo1->ReplaceSel("unsaved", true);
    harness::Pump();
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
