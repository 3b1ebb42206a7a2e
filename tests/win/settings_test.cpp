// The settings file, the Run value, the option commands and the window's place and showing
// on the real main window.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

#include <array>
#include <string>

#include "about/formabout.h"
#include "app/commands.h"
#include "app/formmain.h"
#include "app/forms.h"
#include "app/globals.h"
#include "app/settingsstore.h"
#include "framework/application.h"
#include "framework/messages.h"
#include "tests/win/harness.h"

namespace {

using harness::Command;
using harness::Program;

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kMissing[] = "<missing>";
// clang-format off
constexpr const char* kKeys[] = {"AutoSave Memo", "Height", "Left", "Show On StartUp",
    "Start With Windows", "Top", "Warning On Clear Clipboard", "Warning On ClearMemo", "Width",
    "Hot Key"};
// clang-format on
enum KeyIndex { kAutoSave, kHeight, kLeft, kShow, kStart, kTop, kClipboard, kMemo, kWidth, kHot };
using IniValues = std::array<std::string, 10>;
const IniValues kStart0 = {"1", "200", "100", "1", "0", "100", "1", "1", "300", "Ctrl+Alt+J"};
constexpr char kStart0Lines[] =
    "AutoSave Memo=1\r\nHeight=200\r\nLeft=100\r\nTop=100\r\nWidth=300\r\n"
    "Start With Windows=0\r\n";
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

// Read without the code under test; a value of another type counts as missing.
std::string ReadRunValue() {
    char data[1024] = {};
    DWORD size = sizeof data;
    return RegGetValueA(HKEY_CURRENT_USER, kRunKey, "BriskJot", RRF_RT_REG_SZ, nullptr, data,
                        &size) == ERROR_SUCCESS
               ? data
               : kMissing;
}

// "this exe" when the Run value names this test program in any letter case (the exact text is
// checked end to end), else the value as it is.
std::string RunValueTarget() {
    std::string value = ReadRunValue();
    if (value.size() > 1 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return lstrcmpiA(value.c_str(), fw::Application.ExeName().c_str()) == 0 ? "this exe" : value;
}

// The five option marks in file order.
std::string Marks(TFormMain& form) {
    std::string marks;
    for (const fw::TMenuItem* item :
         {&form.PopUpAutoSave, &form.PopUpShowOnStartUp, &form.PopUpStartWithWindows,
          &form.PopUpWarningOnClearClipboard, &form.PopUpWarningOnClearMemo})
        marks += item->Checked() ? '1' : '0';
    return marks;
}

Place PlaceOf(TFormMain& form) {
    const RECT r = form.Bounds();
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// For this process HKEY_CURRENT_USER is a volatile key of its own, whose Run key nobody may
// change, as under an administrator's policy; it holds the program's value when asked to.
class LockedRunKey {
public:
    explicit LockedRunKey(bool withValue) {
        HKEY run = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kRoot, 0, nullptr, REG_OPTION_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &root_, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegCreateKeyExA(root_, kRunKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, &run, nullptr),
                  ERROR_SUCCESS);
        const std::string value = "\"" + fw::Application.ExeName() + "\"";
        if (withValue)
            RegSetValueExA(run, "BriskJot", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1));
        EXPECT_TRUE(SetAccess(run, "D:P(A;;KR;;;WD)"));
        RegCloseKey(run);
        EXPECT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, root_), ERROR_SUCCESS);
    }
    ~LockedRunKey() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        HKEY run = nullptr;
        if (RegOpenKeyExA(root_, kRunKey, 0, WRITE_DAC, &run) == ERROR_SUCCESS) {
            SetAccess(run, "D:P(A;;KA;;;WD)");
            RegCloseKey(run);
        }
        RegDeleteTreeA(root_, nullptr);
        RegCloseKey(root_);
        RegDeleteKeyA(HKEY_CURRENT_USER, kRoot);
    }

private:
    static constexpr char kRoot[] = "Software\\BriskJot settings test";
    static bool SetAccess(HKEY key, const char* descriptor) {
        PSECURITY_DESCRIPTOR security = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(descriptor, SDDL_REVISION_1,
                                                                  &security, nullptr))
            return false;
        const bool set =
            RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security) == ERROR_SUCCESS;
        LocalFree(security);
        return set;
    }
    HKEY root_ = nullptr;
};

// Whether a program could take the key now, that is whether nobody holds it.
bool HotKeyFree(UINT modifiers, UINT key) {
    if (!RegisterHotKey(nullptr, 0xBFFF, modifiers, key)) return false;
    UnregisterHotKey(nullptr, 0xBFFF);
    return true;
}

void NotifyTray(TFormMain& form, std::initializer_list<UINT> mouseMessages) {
    for (UINT m : mouseMessages)
        PostMessageA(form.TrayIcon1->WindowHandle(), fw::messages::kTrayCallback, 0, m);
    harness::Pump(50);
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768) << "the tests expect a 1024 x 768 screen";
        TearDown();
    }
    void TearDown() override {
        fw::Application.OnHelp = nullptr;
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "BriskJot");
        harness::RemoveFile(harness::SettingsPath());
        harness::RemoveFile(harness::NotePath());
    }
};

TEST_F(SettingsTest, LoadingFillsTheFileAndPlacesTheWindow) {
    {
        Program program(true, "");  // a first run
        EXPECT_EQ(ReadIni(),
                  (IniValues{"0", "219", "615", "1", "1", "521", "1", "1", "409", "Ctrl+Alt+J"}));
        EXPECT_FALSE(HotKeyFree(MOD_CONTROL | MOD_ALT, 'J'));
        EXPECT_EQ(Marks(program.Main()), "01111");
        EXPECT_EQ(PlaceOf(program.Main()), kDefaultPlace);
        EXPECT_EQ(ReadRunValue(), kMissing) << "the check mark alone says nothing of the registry";
        Command(program.Main(), cmd::PopUpStartWithWindows);
        EXPECT_EQ(Marks(program.Main()), "01011") << "a value that is not there counts as removed";
    }
    // Not shown at start, partly left of the screen.
    Program program(true,
                    "AutoSave Memo=0\r\nHeight=150\r\nLeft=-50\r\nShow On StartUp=0\r\n"
                    "Top=200\r\nWidth=300\r\nHot Key=\r\n");
    EXPECT_EQ(PlaceOf(program.Main())[0], -50);
    EXPECT_TRUE(HotKeyFree(MOD_CONTROL | MOD_ALT, 'J')) << "an empty key registers nothing";
    EXPECT_EQ(ReadIni()[kHot], "");
    EXPECT_TRUE(program.Main().WindowHidden());
}

TEST_F(SettingsTest, OptionCommandsSaveAllSettingsWithThePlaceAndKeepTheRunValue) {
    const std::string old = "C:\\Old Place\\briskjot.exe";
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kRunKey, "BriskJot", REG_SZ, old.c_str(),
                              static_cast<DWORD>(old.size() + 1)),
              ERROR_SUCCESS);
    Program program(true, kStart0Lines);
    TFormMain& form = program.Main();
    EXPECT_EQ(RunValueTarget(), "this exe") << "another folder's value is rewritten";
    EXPECT_EQ(Marks(form), "11011") << "the mark follows the file";
    IniValues expected = kStart0;
    auto step = [&](fw::TMenuItem& item, KeyIndex key, Place place, bool hidden) {
        MoveWindow(form.Handle(), place[0], place[1], place[2], place[3], TRUE);
        if (hidden) form.Hide();
        Command(form, item.Command());
        expected[key] = expected[key] == "1" ? "0" : "1";
        const KeyIndex placeKeys[] = {kLeft, kTop, kWidth, kHeight};
        for (int i = 0; i < 4; ++i) expected[placeKeys[i]] = std::to_string(place[i]);
        EXPECT_EQ(ReadIni(), expected);
        EXPECT_EQ(Marks(form), expected[kAutoSave] + expected[kShow] + expected[kStart] +
                                   expected[kClipboard] + expected[kMemo]);
        EXPECT_EQ(RunValueTarget(), expected[kStart] == "1" ? "this exe" : kMissing);
        form.Show();
    };
    step(form.PopUpStartWithWindows, kStart, {10, 20, 330, 240}, false);
    step(form.PopUpWarningOnClearMemo, kMemo, {-40, 300, 250, 210}, true);
    step(form.PopUpStartWithWindows, kStart, {30, 40, 350, 250}, false);

    // The registry refusing either switch: the user is told, the mark and the file stay.
    harness::MessageBoxScript boxes;
    boxes.Answer(IDOK);
    boxes.Answer(IDOK);
    {
        const LockedRunKey locked(false);
        Command(form, cmd::PopUpStartWithWindows);
    }
    EXPECT_EQ(Marks(form)[2], '0');
    EXPECT_EQ(ReadRunValue(), kMissing);
    Command(form, cmd::PopUpStartWithWindows);
    const IniValues on = ReadIni();
    ASSERT_EQ(on[kStart], "1");
    {
        const LockedRunKey locked(true);
        Command(form, cmd::PopUpStartWithWindows);
        EXPECT_EQ(RunValueTarget(), "this exe") << "the locked value is still there";
    }
    EXPECT_EQ(Marks(form)[2], '1');
    EXPECT_EQ(ReadIni(), on);
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_NE(boxes.Shown()[0].text.find("stays off"), std::string::npos);
    EXPECT_NE(boxes.Shown()[1].text.find("could not remove"), std::string::npos);
}

TEST_F(SettingsTest, AFileThatCannotBeWrittenNeverEndsTheProgramNorLosesText) {
    Program program(true, kStart0Lines);
    TFormMain& form = program.Main();
    const std::string path = harness::SettingsPath();
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    Command(form, cmd::PopUpWarningOnClearClipboard);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(ReadIni()[kClipboard], "0") << "saving lifts the read-only mark";

    // Held open without sharing by another program: nothing can be written at all.
    const std::string before = harness::ReadFile(path);
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Command(form, cmd::PopUpWarningOnClearMemo);
    EXPECT_FALSE(fw::Application.Terminated());
    EXPECT_EQ(Marks(form)[4], '0') << "kept for this run";
    // Nor does it stop the note being saved at exit.
    form.PopUpAutoSaveClick();
    form.Memo1->ReplaceSel("unsaved", true);
    harness::Pump();
    std::string help;
    fw::Application.OnHelp = [&](unsigned command, std::uintptr_t, bool& callHelp) {
        help += std::to_string(command);
        callHelp = false;
        return true;
    };
    harness::MessageBoxScript boxes;
    boxes.Answer(IDYES);
    form.PopUpExit.Click();
    EXPECT_EQ(help, "2") << "help is quit after the question";
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), "unsaved");
    EXPECT_TRUE(fw::Application.Terminated());
    CloseHandle(lock);
    EXPECT_EQ(harness::ReadFile(path), before);
}

TEST_F(SettingsTest, DefaultPlaceShowingHidingAndActivation) {
    Program program;
    TFormMain& form = program.Main();
    auto ExpectDefaultPlace = [](TFormMain& form) {
        EXPECT_EQ(PlaceOf(form), kDefaultPlace);
        EXPECT_TRUE(form.Visible());
        EXPECT_FALSE(form.Maximized());
        EXPECT_EQ(form.PopUpShowBriskjot.Caption(), "Hide Brisk&Jot");
    };
    ExpectDefaultPlace(form);  // a first run places the window at once

    // The tray's double click runs the default item, from a maximised window too.
    ShowWindow(form.Handle(), SW_MAXIMIZE);
    NotifyTray(form, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
    ExpectDefaultPlace(form);
    form.SetLeft(10);
    form.Hide();
    form.PopUpDefaultSizePosition.Click();
    ExpectDefaultPlace(form);

    const UINT close = GetMenuState(GetSystemMenu(form.Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND);
    EXPECT_TRUE(close & MF_GRAYED);
    // A Find dialog of our own closes with the hiding.
    HWND find = CreateWindowExA(0, "STATIC", "Find", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    NotifyTray(form, {WM_LBUTTONDOWN, WM_LBUTTONUP});
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(form.PopUpShowBriskjot.Caption(), "Show Brisk&Jot");
    EXPECT_FALSE(IsWindow(find));
    // The tray component's own showing keeps the caption too.
    form.TrayIcon1->ShowApplication();
    EXPECT_EQ(form.PopUpShowBriskjot.Caption(), "Hide Brisk&Jot");

    FormAbout->Show();
    form.FormActivate();
    EXPECT_FALSE(FormAbout->Visible()) << "activation closes the About box";
}

TEST(SettingsStoreTest, ProfileTellsMissingFromEmptyKeysAndReadsLongValuesWhole) {
    const std::string path = harness::ExeFolder() + "settingsstore_test.ini";
    const std::string long_(700, 'c');  // well past the first buffer
    harness::WriteFile(path, "[Other]\r\nHeight=5\r\n[settings]\r\nWidth=\r\nLeft = -50 \r\nLong=" +
                                 long_ + "\r\n");
    settingsstore::IniProfile profile(path);
    std::string width = "kept", left, long_read;
    EXPECT_TRUE(profile.Read("Width", width) && width.empty() && profile.Read("LEFT", left) &&
                left == "-50");
    EXPECT_FALSE(profile.Read("Height", long_read)) << "a key of another section";
    EXPECT_TRUE(profile.Read("Long", long_read) && long_read == long_);
    harness::RemoveFile(path);
}

}  // namespace
