// The main window's help: F1 and the help commands write the help file out of
// the exe when needed and ask the viewer (a logging stand-in) for the right number.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/commands.h"
#include "app/formmain.h"
#include "components/help/htmlhelpapi.h"
#include "framework/application.h"
#include "tests/win/harness.h"

namespace {

using harness::Program;

std::string LogPath() { return harness::ExeFolder() + "help_calls.log"; }
std::string StoreFile() { return harness::ExeFolder() + "BriskJot.chm"; }

std::vector<std::string> LoggedCalls() {
    std::vector<std::string> lines;
    const std::string log = harness::ReadFile(LogPath());
    if (log == "<missing>") return lines;
    for (size_t start = 0, end; (end = log.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(log.substr(start, end - start));
    return lines;
}

std::string ContextCall(const std::string& file, int number) {
    return "hwnd=0 cmd=0x0F file=" + file + " data=" + std::to_string(number);
}

FILETIME LastWrite(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool SameDosTime(const std::string& a, const std::string& b) {
    WORD da, ta, db, tb;
    FILETIME la, lb, fa = LastWrite(a), fb = LastWrite(b);
    FileTimeToLocalFileTime(&fa, &la);
    FileTimeToLocalFileTime(&fb, &lb);
    FileTimeToDosDateTime(&la, &da, &ta);
    FileTimeToDosDateTime(&lb, &db, &tb);
    return da == db && ta == tb;
}

void HoldF1(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_F1] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// F1 pressed on a window of the form, as the system reports it.
void PressF1On(HWND form, HWND control) {
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.hItemHandle = control;
    HoldF1(true);
    SendMessageA(form, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    HoldF1(false);
}

void PressF1OnMenuItem(HWND form, unsigned command) {
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_MENUITEM;
    info.iCtrlId = static_cast<int>(command);
    HoldF1(true);
    SendMessageA(form, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    HoldF1(false);
}

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!notefileExists(harness::ExeFolder() + "hhctrl_double.dll"))
            GTEST_FAIL() << "hhctrl_double.dll is not beside the test program";
        harness::RemoveFile(LogPath());
        harness::RemoveFile(StoreFile());
        SetEnvironmentVariableA("BJ_HHCTRL_LOG", LogPath().c_str());
        htmlhelp::UnloadHtmlHelp();
        htmlhelp::SetHtmlHelpLibraryPath(harness::ExeFolder() + "hhctrl_double.dll");
    }
    void TearDown() override {
        htmlhelp::UnloadHtmlHelp();
        htmlhelp::SetHtmlHelpLibraryPath("");
        SetEnvironmentVariableA("BJ_HHCTRL_LOG", nullptr);
        harness::RemoveFile(LogPath());
        harness::RemoveFile(StoreFile());
    }
    static bool notefileExists(const std::string& path) {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
};

TEST_F(HelpTest, TheFirstF1WritesTheHelpFileDatesItAndAsksForTheMemosNumber) {
    Program program;
    TFormMain& form = program.Main();
    // The exe as it ships is BriskJot.exe: its help file is the one the store writes.
    fw::Application.HelpFile = StoreFile();
    PressF1On(form.Handle(), form.Memo1->Handle());
    const std::string written = harness::ReadFile(StoreFile());
    ASSERT_NE(written, "<missing>");
    EXPECT_EQ(written.substr(0, 4), "ITSF") << "a compiled help file";
    EXPECT_TRUE(SameDosTime(StoreFile(), fw::Application.ExeName()));
    EXPECT_EQ(LoggedCalls(), std::vector<std::string>{ContextCall(StoreFile(), 8)});

    // F1 on menu items: a tray item's own number; a main-menu item without one asks for 0.
    harness::RemoveFile(LogPath());
    PressF1OnMenuItem(form.Handle(), cmd::PopUpHomeSite);
    PressF1OnMenuItem(form.Handle(), cmd::MenuHelpTopics);
    PressF1OnMenuItem(form.Handle(), cmd::MenuAbout);
    EXPECT_EQ(LoggedCalls(), (std::vector<std::string>{ContextCall(StoreFile(), 7),
                                                       ContextCall(StoreFile(), 0),
                                                       ContextCall(StoreFile(), 1)}));

    // Closing after help was shown closes the viewer.
    harness::RemoveFile(LogPath());
    harness::MessageBoxScript none;
    form.PopUpExit.Click();
    EXPECT_EQ(LoggedCalls(), std::vector<std::string>{"hwnd=0 cmd=0x12 file=(null) data=0"});
}

TEST_F(HelpTest, AStaleReadOnlyCopyIsReplacedAndACopyWithTheExesDateIsKept) {
    Program program;
    TFormMain& form = program.Main();
    fw::Application.HelpFile = StoreFile();
    harness::WriteFile(StoreFile(), "stale");
    SetFileAttributesA(StoreFile().c_str(), FILE_ATTRIBUTE_READONLY);
    form.PopUpHelp_Options.Click();
    EXPECT_EQ(harness::ReadFile(StoreFile()).substr(0, 4), "ITSF");
    EXPECT_TRUE(SameDosTime(StoreFile(), fw::Application.ExeName()));

    harness::WriteFile(StoreFile(), "edited by hand");
    ASSERT_TRUE(SetFileDateFromExe(StoreFile()));
    form.MenuHelpTopics.Click();
    EXPECT_EQ(harness::ReadFile(StoreFile()), "edited by hand");
    EXPECT_EQ(LoggedCalls(), (std::vector<std::string>{ContextCall(StoreFile(), 5),
                                                       ContextCall(StoreFile(), 5)}));
}

TEST_F(HelpTest, ClosingWithoutHelpNeverLoadsTheLibrary) {
    Program program;
    harness::MessageBoxScript none;
    program.Main().PopUpExit.Click();
    EXPECT_FALSE(htmlhelp::HtmlHelpLoaded());
    EXPECT_TRUE(LoggedCalls().empty());
}

TEST_F(HelpTest, ARenamedExeAsksForItsOwnNameWhileTheStoreWritesBriskJotChm) {
    Program program;
    const std::string ownName = harness::ExeFolder() + "bj_win_tests.chm";
    ASSERT_EQ(fw::Application.HelpFile, ownName);
    program.Main().PopUpHelp_Options.Click();
    EXPECT_EQ(harness::ReadFile(StoreFile()).substr(0, 4), "ITSF");
    EXPECT_EQ(harness::ReadFile(ownName), "<missing>");
    EXPECT_EQ(LoggedCalls(), std::vector<std::string>{ContextCall(ownName, 5)});
}

}  // namespace
