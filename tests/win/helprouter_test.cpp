// Help on the real help path, with a logging stand-in for the HTML Help library
// (hhctrl_double.dll beside the test program): the help router itself, and the main window's
// F1 and help commands, which write the help file out of the exe when needed.
#include "components/help/helprouter.h"

#include <gtest/gtest.h>
#include <htmlhelp.h>

#include <string>
#include <vector>

#include "app/commands.h"
#include "app/formmain.h"
#include "components/help/htmlhelpapi.h"
#include "components/storage/persisted.h"
#include "framework/application.h"
#include "framework/form.h"
#include "tests/win/harness.h"

namespace {

using Calls = std::vector<std::string>;

constexpr char kDoubleName[] = "hhctrl_double.dll";
constexpr char kAppChm[] = "C:\\Apps\\Note.Pad\\BriskJot.chm";

std::string DoublePath() {
    return harness::ExeFolder() + kDoubleName;
}
std::string LogPath() {
    return harness::ExeFolder() + "hhctrl_calls.log";
}
std::string StoreFile() {
    return harness::ExeFolder() + "BriskJot.chm";
}
bool HaveDouble() {
    return GetFileAttributesA(DoublePath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The viewer's calls since the last look.
Calls LoggedCalls() {
    Calls lines;
    const std::string log = harness::ReadFile(LogPath());
    if (log == "<missing>") return lines;
    for (size_t start = 0, end; (end = log.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(log.substr(start, end - start));
    harness::RemoveFile(LogPath());
    return lines;
}

std::string ContextCall(const std::string& file, int number) {
    return "hwnd=0 cmd=0x0F file=" + file + " data=" + std::to_string(number);
}

THelpRouterSettings Settings(const char* helpType, const char* showType) {
    THelpRouterSettings settings;
    settings.HelpType = helpType;
    settings.ShowType = showType;
    return settings;
}

// The stand-in library logs every call; the system's is never loaded by these tests.
class StandInTest : public ::testing::Test {
protected:
    void SetUp() override {
        harness::RemoveFile(LogPath());
        SetEnvironmentVariableA("BJ_HHCTRL_LOG", LogPath().c_str());
        htmlhelp::UnloadHtmlHelp();
        htmlhelp::SetHtmlHelpLibraryPath(DoublePath());
    }
    void TearDown() override {
        htmlhelp::UnloadHtmlHelp();
        htmlhelp::SetHtmlHelpLibraryPath("");
        SetEnvironmentVariableA("BJ_HHCTRL_LOG", nullptr);
        harness::RemoveFile(LogPath());
    }
};

// ---- the router on a form of its own

class OwnerForm : public fw::TForm {
public:
    OwnerForm() { CreateForm(Style{"Router owner"}); }
};

class HelpRouterTest : public StandInTest {
protected:
    void SetUp() override {
        fw::Application.Reset();
        savedHelpFile_ = fw::Application.HelpFile;
        fw::Application.HelpFile = "C:\\Apps\\Note.Pad\\BriskJot.hlp";
        StandInTest::SetUp();
    }
    void TearDown() override {
        StandInTest::TearDown();
        fw::Application.HelpFile = savedHelpFile_;
        fw::Application.Reset();
    }
    OwnerForm owner_;
    std::string savedHelpFile_;
};

// The double comes from the build (BJ_WINE_COPY); without it only the library-free cases run.
#define REQUIRE_DOUBLE()                                                                     \
    do {                                                                                     \
        if (!HaveDouble()) GTEST_SKIP() << kDoubleName << " is not beside the test program"; \
    } while (0)

TEST_F(HelpRouterTest, TakesOverTheApplicationsHelpOnceAndGivesItBack) {
    Calls order;
    fw::Application.OnHelp = [&](unsigned command, std::uintptr_t data, bool& callHelp) {
        order.push_back("previous " + std::to_string(command) + " " + std::to_string(data));
        callHelp = false;
        return true;
    };
    {
        THelpRouter router(&owner_);
        router.OnHelp = [&](unsigned command, std::uintptr_t, bool& callHelp) {
            order.push_back("router event " + std::to_string(command));
            if (command == HELP_QUIT) callHelp = false;  // served here: nothing else runs
            return false;
        };
        EXPECT_TRUE(fw::Application.HelpCommand(HELP_CONTEXT, 8));
        EXPECT_FALSE(fw::Application.HelpCommand(HELP_QUIT, 0));
        EXPECT_THROW(THelpRouter second(&owner_), EHelpRouter);
        EXPECT_TRUE(fw::Application.HelpCommand(HELP_CONTENTS, 0)) << "the second changed nothing";
    }
    EXPECT_EQ(order, (Calls{"router event 1", "previous 1 8", "router event 2", "router event 3",
                            "previous 3 0"}));
    EXPECT_FALSE(htmlhelp::HtmlHelpLoaded()) << "the handlers served everything";

    order.clear();
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_CONTEXT, 5));
    EXPECT_EQ(order, Calls{"previous 1 5"}) << "the old handler is back";

    fw::Application.OnHelp = nullptr;
    {
        THelpRouter again(nullptr);  // the slot is free again once the first is gone
        EXPECT_TRUE(static_cast<bool>(fw::Application.OnHelp));
        if (!GetActiveWindow()) {
            EXPECT_EQ(again.HelpWindow(), fw::Application.Handle()) << "no owner, no form";
        }
    }
    EXPECT_FALSE(static_cast<bool>(fw::Application.OnHelp)) << "no handler before, none after";
}

TEST_F(HelpRouterTest, RequestsReachTheViewerWithTheCompiledFileAndQuitLoadsNothing) {
    REQUIRE_DOUBLE();
    THelpRouter router(&owner_);
    router.LoadSettings(Settings("htHTMLhelp", "stMain"));
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_QUIT, 0));
    EXPECT_FALSE(GetModuleHandleA(kDoubleName)) << "quitting loads nothing";

    EXPECT_TRUE(fw::Application.HelpCommand(HELP_CONTEXT, 8));
    static const char kKeyword[] = "AutoSave";
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_KEY, reinterpret_cast<std::uintptr_t>(kKeyword)));
    router.Helpfile = "D:\\Manuals\\Jot";
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_FINDER, 0));
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_QUIT, 0));
    EXPECT_EQ(LoggedCalls(), (Calls{
                                 ContextCall(kAppChm, 8),
                                 "hwnd=0 cmd=0x02 file=" + std::string(kAppChm) + " key=AutoSave",
                                 "hwnd=0 cmd=0x01 file=D:\\Manuals\\Jot.chm data=0",
                                 "hwnd=0 cmd=0x12 file=(null) data=0",
                             }));

    EXPECT_THROW(router.LoadSettings(Settings("htHtmlHelp", "stMain")), EPersistedDataError);
    EXPECT_EQ(router.HelpType, htHTMLhelp) << "a rejected value changes nothing";
}

TEST_F(HelpRouterTest, PopupsCarryTheirRecordAndWindow) {
    REQUIRE_DOUBLE();
    THelpRouter router(&owner_);
    router.LoadSettings(Settings("htHTMLhelp", "stDefault"));
    router.CHMPopupTopics.clear();
    const HWND window = router.HelpWindow();
    if (!GetActiveWindow()) {
        EXPECT_EQ(window, owner_.Handle()) << "no active form: the owner";
    }

    fw::Application.HelpCommand(HELP_SETPOPUP_POS, MAKELONG(static_cast<WORD>(-20), 300));
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_CONTEXTPOPUP, 7));
    EXPECT_TRUE(router.ShowPopup(5, 6, 9, "Plain words"));
    const std::string head =
        "hwnd=" + std::to_string(reinterpret_cast<ULONG_PTR>(window)) + " cmd=0x0E file=";
    const std::string size = " popup size=" + std::to_string(sizeof(HH_POPUP)) + " hinst=0";
    const std::string look =
        " fore=0x1FFFFFFF back=0x1FFFFFFF margins=-1,-1,-1,-1 font=MS Sans Serif, 8";
    EXPECT_EQ(LoggedCalls(),
              (Calls{head + kAppChm + "::/CSHelp.txt" + size + " id=7 text= pt=-20,300" + look,
                     head + "(null)" + size + " id=0 text=Plain words pt=5,6" + look}));
}

TEST_F(HelpRouterTest, AMissingLibraryLeavesTheRequestForWinHelpAndIsTriedAgain) {
    REQUIRE_DOUBLE();
    htmlhelp::SetHtmlHelpLibraryPath(harness::ExeFolder() + "no_such_hhctrl.dll");
    THelpRouter router(&owner_);
    router.LoadSettings(Settings("htHTMLhelp", "stMain"));
    bool callHelp = true;
    EXPECT_FALSE(router.HandleHelp(HELP_CONTEXT, 8, callHelp));
    EXPECT_TRUE(callHelp) << "the application falls back to WinHelp";
    EXPECT_FALSE(router.ShowPopup(1, 1, 2, ""));

    htmlhelp::SetHtmlHelpLibraryPath(DoublePath());
    EXPECT_TRUE(router.HandleHelp(HELP_CONTEXT, 8, callHelp));
    EXPECT_FALSE(callHelp);
    EXPECT_EQ(LoggedCalls().size(), 1u);
}

TEST_F(HelpRouterTest, LibraryComesFromTheSystemFolderOnly) {
    REQUIRE_DOUBLE();
    // Copies planted where a search by bare name would look first.
    char folder[MAX_PATH];
    ASSERT_TRUE(GetCurrentDirectoryA(sizeof folder, folder));
    const std::string planted[] = {harness::ExeFolder() + "HHCTRL.OCX",
                                   std::string(folder) + "\\HHCTRL.OCX"};
    for (const std::string& path : planted)
        ASSERT_TRUE(CopyFileA(DoublePath().c_str(), path.c_str(), FALSE)) << path;

    htmlhelp::SetHtmlHelpLibraryPath("");
    ASSERT_TRUE(GetSystemDirectoryA(folder, sizeof folder));
    EXPECT_EQ(htmlhelp::HtmlHelpLibraryPath(), std::string(folder) + "\\HHCTRL.OCX");
    if (htmlhelp::LoadHtmlHelp()) {  // else no system library on this machine: nothing ran
        char loaded[MAX_PATH];
        ASSERT_TRUE(GetModuleFileNameA(GetModuleHandleA("hhctrl.ocx"), loaded, sizeof loaded));
        EXPECT_EQ(lstrcmpiA(loaded, htmlhelp::HtmlHelpLibraryPath().c_str()), 0) << loaded;
    }
    for (const std::string& path : planted) harness::RemoveFile(path);
}

// ---- the main window's help

// F1 as the system reports it, on a window or a menu item of the form.
void PressF1(HWND form, int type, HWND control, unsigned command = 0) {
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = type;
    info.hItemHandle = control;
    info.iCtrlId = static_cast<int>(command);
    BYTE keys[256] = {};
    keys[VK_F1] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(form, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    keys[VK_F1] = 0;
    SetKeyboardState(keys);
}

// A file's last write as a local DOS date-time, the two-second steps the program compares in.
DWORD DosTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FILETIME local{};
    WORD date = 0, time = 0;
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    FileTimeToDosDateTime(&local, &date, &time);
    return MAKELONG(time, date);
}

using HelpTest = StandInTest;

TEST_F(HelpTest, F1AndTheCommandsWriteADatedHelpFileOnlyWhenStaleAndAskForTheirNumbers) {
    ASSERT_TRUE(HaveDouble()) << kDoubleName << " is not beside the test program";
    harness::RemoveFile(StoreFile());
    harness::Program program;
    TFormMain& form = program.Main();
    const std::string ownName = harness::ExeFolder() + "bj_win_tests.chm";
    ASSERT_EQ(fw::Application.HelpFile, ownName);
    // The exe as it ships is BriskJot.exe: its help file is the one the store writes.
    fw::Application.HelpFile = StoreFile();
    PressF1(form.Handle(), HELPINFO_WINDOW, form.Memo1->Handle());
    EXPECT_EQ(harness::ReadFile(StoreFile()).substr(0, 4), "ITSF") << "a compiled help file";
    EXPECT_EQ(DosTime(StoreFile()), DosTime(fw::Application.ExeName()));
    EXPECT_EQ(LoggedCalls(), Calls{ContextCall(StoreFile(), 8)});

    // A tray item's own number; a main-menu item without one asks for 0.
    for (const unsigned command : {cmd::PopUpHomeSite, cmd::MenuHelpTopics, cmd::MenuAbout})
        PressF1(form.Handle(), HELPINFO_MENUITEM, nullptr, command);
    EXPECT_EQ(LoggedCalls(), (Calls{ContextCall(StoreFile(), 7), ContextCall(StoreFile(), 0),
                                    ContextCall(StoreFile(), 1)}));

    harness::WriteFile(StoreFile(), "stale");
    SetFileAttributesA(StoreFile().c_str(), FILE_ATTRIBUTE_READONLY);
    form.PopUpHelp_Options.Click();
    EXPECT_EQ(harness::ReadFile(StoreFile()).substr(0, 4), "ITSF") << "a stale copy is replaced";
    EXPECT_EQ(DosTime(StoreFile()), DosTime(fw::Application.ExeName()));
    harness::WriteFile(StoreFile(), "edited by hand");
    ASSERT_TRUE(SetFileDateFromExe(StoreFile()));
    form.MenuHelpTopics.Click();
    EXPECT_EQ(harness::ReadFile(StoreFile()), "edited by hand") << "one with the exe's date stays";
    EXPECT_EQ(LoggedCalls(), (Calls{ContextCall(StoreFile(), 5), ContextCall(StoreFile(), 5)}));

    // Renamed, the exe asks for a help file of its own name, yet the store writes BriskJot.chm.
    harness::RemoveFile(StoreFile());
    fw::Application.HelpFile = ownName;
    form.PopUpHelp_Options.Click();
    EXPECT_EQ(harness::ReadFile(StoreFile()).substr(0, 4), "ITSF");
    EXPECT_EQ(harness::ReadFile(ownName), "<missing>");
    EXPECT_EQ(LoggedCalls(), Calls{ContextCall(ownName, 5)});
    harness::RemoveFile(StoreFile());
}

}  // namespace
