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
#include "app/persisted.h"
#include "components/help/htmlhelpapi.h"
#include "framework/application.h"
#include "framework/form.h"
#include "framework/unique.h"
#include "tests/win/harness.h"

namespace {

using Calls = std::vector<std::string>;

constexpr char kDoubleName[] = "hhctrl_double.dll";
constexpr char kLog[] = "hhctrl_calls.log";
constexpr char kAppChm[] = "C:\\Apps\\Note.Pad\\BriskJot.chm";

std::string Beside(const std::string& name) {
    return harness::ExeFolder() + name;
}

// The viewer's calls since the last look.
Calls LoggedCalls() {
    Calls lines;
    const std::string log = harness::ReadFile(Beside(kLog));
    if (log == "<missing>") return lines;
    for (size_t start = 0, end; (end = log.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(log.substr(start, end - start));
    harness::RemoveFile(Beside(kLog));
    return lines;
}

std::string ContextCall(const std::string& file, int number) {
    return "hwnd=0 cmd=0x0F file=" + file + " data=" + std::to_string(number);
}

// The stand-in library logs every call; the system's is never loaded by these tests.
class HelpRouterTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The double comes from the build (BJ_WINE_COPY); without it nothing here is tested.
        ASSERT_NE(GetFileAttributesA(Beside(kDoubleName).c_str()), INVALID_FILE_ATTRIBUTES)
            << kDoubleName << " is not beside the test program";
        fw::Application.Reset();
        fw::Application.HelpFile = "C:\\Apps\\Note.Pad\\BriskJot.hlp";
        owner_.CreateForm(fw::TForm::Style{"Router owner"});
        harness::RemoveFile(Beside(kLog));
        SetEnvironmentVariableA("BJ_HHCTRL_LOG", Beside(kLog).c_str());
        htmlhelp::UnloadHtmlHelp();
        htmlhelp::SetHtmlHelpLibraryPath(Beside(kDoubleName));
    }
    void TearDown() override {
        htmlhelp::UnloadHtmlHelp();
        htmlhelp::SetHtmlHelpLibraryPath("");
        SetEnvironmentVariableA("BJ_HHCTRL_LOG", nullptr);
        harness::RemoveFile(Beside(kLog));
        fw::Application.HelpFile = savedHelpFile_;
        fw::Application.Reset();
    }
    fw::TForm owner_;
    std::string savedHelpFile_ = fw::Application.HelpFile;
};
using HelpTest = HelpRouterTest;

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
        EXPECT_THROW(THelpRouter second(&owner_), EHelpRouter);
        EXPECT_FALSE(fw::Application.HelpCommand(HELP_QUIT, 0)) << "the second changed nothing";
    }
    EXPECT_EQ(order, (Calls{"router event 1", "previous 1 8", "router event 2"}));
    EXPECT_FALSE(htmlhelp::HtmlHelpLoaded()) << "the handlers served everything";

    order.clear();
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_CONTEXT, 5));
    EXPECT_EQ(order, Calls{"previous 1 5"}) << "the old handler is back";
    EXPECT_NO_THROW(THelpRouter again(nullptr)) << "the slot is free again";
}

TEST_F(HelpRouterTest, RequestsReachTheViewerQuitLoadsNothingAndAMissingLibraryIsRetried) {
    THelpRouter router(&owner_);
    THelpRouterSettings settings;
    settings.HelpType = "htHTMLhelp";
    settings.ShowType = "stMain";
    LoadRouterSettings(router, settings);
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_QUIT, 0));
    EXPECT_FALSE(GetModuleHandleA(kDoubleName)) << "quitting loads nothing";

    EXPECT_TRUE(fw::Application.HelpCommand(HELP_CONTEXT, 8));
    static const char kKeyword[] = "AutoSave";
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_KEY, reinterpret_cast<std::uintptr_t>(kKeyword)));
    EXPECT_TRUE(router.ShowPopup(5, 6, 7, ""));
    router.Helpfile = "D:\\Manuals\\Jot";
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_FINDER, 0));
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_QUIT, 0));
    const std::string popup =
        "hwnd=" + std::to_string(reinterpret_cast<ULONG_PTR>(router.HelpWindow())) +
        " cmd=0x0E file=" + kAppChm +
        "::/CSHelp.txt popup size=" + std::to_string(sizeof(HH_POPUP)) +
        " hinst=0 id=7 text= pt=5,6";
    const Calls calls = LoggedCalls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0], ContextCall(kAppChm, 8));
    EXPECT_EQ(calls[1], "hwnd=0 cmd=0x02 file=" + std::string(kAppChm) + " key=AutoSave");
    EXPECT_EQ(calls[2].substr(0, popup.size()), popup);
    EXPECT_EQ(calls[3], "hwnd=0 cmd=0x01 file=D:\\Manuals\\Jot.chm data=0");
    EXPECT_EQ(calls[4], "hwnd=0 cmd=0x12 file=(null) data=0");

    settings.HelpType = "htHtmlHelp";
    EXPECT_THROW(LoadRouterSettings(router, settings), EPersistedDataError);
    EXPECT_EQ(router.HelpType, htHTMLhelp) << "a rejected value changes nothing";

    // A missing library leaves the request for WinHelp, and is tried again next time.
    htmlhelp::UnloadHtmlHelp();
    htmlhelp::SetHtmlHelpLibraryPath(harness::ExeFolder() + "no_such_hhctrl.dll");
    bool callHelp = true;
    EXPECT_FALSE(router.HandleHelp(HELP_CONTEXT, 8, callHelp));
    EXPECT_TRUE(callHelp);
    EXPECT_FALSE(router.ShowPopup(1, 1, 2, ""));
    htmlhelp::SetHtmlHelpLibraryPath(Beside(kDoubleName));
    EXPECT_TRUE(router.HandleHelp(HELP_CONTEXT, 8, callHelp));
    EXPECT_FALSE(callHelp);
    EXPECT_EQ(LoggedCalls().size(), 1u);
}

// F1 as the system reports it, on a window or a menu item of the form.
void PressF1(HWND form, int type, HWND control, unsigned command = 0) {
    HELPINFO info{sizeof info, type, static_cast<int>(command), control, 0, {0, 0}};
    harness::HoldKeys({VK_F1});
    SendMessageA(form, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    harness::HoldKeys({});
}

TEST_F(HelpTest, F1AndTheCommandsWriteTheHelpFileOnlyWhenStaleAndAskForTheirNumbers) {
    const std::string store = Beside("BriskJot.chm");
    harness::RemoveFile(store);
    harness::Program program;
    TFormMain& form = program.Main();
    // The exe as it ships is BriskJot.exe: its help file is the one the store writes.
    fw::Application.HelpFile = store;
    PressF1(form.Handle(), HELPINFO_WINDOW, form.Memo1->Handle());
    EXPECT_EQ(harness::ReadFile(store).substr(0, 4), "ITSF") << "a compiled help file";
    // A tray item's own number; a main-menu item without one asks for 0.
    for (const unsigned command : {cmd::PopUpHomeSite, cmd::MenuHelpTopics})
        PressF1(form.Handle(), HELPINFO_MENUITEM, nullptr, command);
    EXPECT_EQ(LoggedCalls(),
              (Calls{ContextCall(store, 8), ContextCall(store, 7), ContextCall(store, 0)}));

    harness::WriteFile(store, "stale");
    SetFileAttributesA(store.c_str(), FILE_ATTRIBUTE_READONLY);
    form.PopUpHelp_Options.Click();
    EXPECT_EQ(harness::ReadFile(store).substr(0, 4), "ITSF") << "a stale copy is replaced";
    // The copy just written carries the exe's date; a hand edit that keeps that date stays.
    FILETIME exeDate{};
    {
        fw::UniqueHandle file(CreateFileA(store.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file && GetFileTime(file.get(), nullptr, nullptr, &exeDate));
    }
    harness::WriteFile(store, "edited by hand");
    {
        fw::UniqueHandle file(
            CreateFileA(store.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file && SetFileTime(file.get(), nullptr, nullptr, &exeDate));
    }
    form.MenuHelpTopics.Click();
    EXPECT_EQ(harness::ReadFile(store), "edited by hand") << "one with the exe's date stays";
    EXPECT_EQ(LoggedCalls(), (Calls{ContextCall(store, 5), ContextCall(store, 5)}));

    harness::RemoveFile(store);
}

}  // namespace
