// The help router on the real help path, with a logging stand-in for the HTML Help library
// (hhctrl_double.dll beside the test program).
#include "components/help/helprouter.h"

#include <gtest/gtest.h>
#include <htmlhelp.h>

#include <memory>
#include <string>
#include <vector>

#include "components/help/htmlhelpapi.h"
#include "components/storage/persisted.h"
#include "framework/application.h"
#include "framework/form.h"
#include "tests/win/harness.h"

namespace {

constexpr char kDoubleName[] = "hhctrl_double.dll";
constexpr char kAppHelpFile[] = "C:\\Apps\\Note.Pad\\BriskJot.hlp";
constexpr char kAppChm[] = "C:\\Apps\\Note.Pad\\BriskJot.chm";

std::string DoublePath() {
    return harness::ExeFolder() + kDoubleName;
}
std::string LogPath() {
    return harness::ExeFolder() + "hhctrl_calls.log";
}
bool DoubleLoaded() {
    return GetModuleHandleA(kDoubleName) != nullptr;
}

std::vector<std::string> LoggedCalls() {
    std::vector<std::string> lines;
    const std::string log = harness::ReadFile(LogPath());
    if (log == "<missing>") return lines;
    size_t start = 0;
    for (size_t end; (end = log.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(log.substr(start, end - start));
    return lines;
}

std::string Number(const void* handle) {
    return std::to_string(reinterpret_cast<ULONG_PTR>(handle));
}

THelpRouterSettings Settings(const char* helpType, const char* showType) {
    THelpRouterSettings settings;
    settings.HelpType = helpType;
    settings.ShowType = showType;
    return settings;
}

class OwnerForm : public fw::TForm {
public:
    OwnerForm() { CreateForm(Style{"Router owner"}); }
};

class HelpRouterTest : public ::testing::Test {
protected:
    void SetUp() override {
        fw::Application.Reset();
        savedHelpFile_ = fw::Application.HelpFile;
        fw::Application.HelpFile = kAppHelpFile;
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
        for (const std::string& planted : planted_) harness::RemoveFile(planted);
        fw::Application.HelpFile = savedHelpFile_;
        fw::Application.Reset();
    }
    bool HaveDouble() const {
        return GetFileAttributesA(DoublePath().c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    void Plant(const std::string& path) {
        planted_.push_back(path);
        ASSERT_TRUE(CopyFileA(DoublePath().c_str(), path.c_str(), FALSE)) << path;
    }

    OwnerForm owner_;

private:
    std::string savedHelpFile_;
    std::vector<std::string> planted_;
};

// The double comes from the build (BJ_WINE_COPY); without it only the library-free cases run.
#define REQUIRE_DOUBLE()                                                                     \
    do {                                                                                     \
        if (!HaveDouble()) GTEST_SKIP() << kDoubleName << " is not beside the test program"; \
    } while (0)

TEST_F(HelpRouterTest, TakesOverTheApplicationsHelpOnceAndGivesItBack) {
    std::vector<std::string> order;
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

        try {
            THelpRouter second(&owner_);
            ADD_FAILURE() << "a second router was created";
        } catch (const EHelpRouter& error) {
            EXPECT_STREQ(error.what(), "Multiple instances of THelpRouter are not allowed");
        }
        // The failed second router changed nothing.
        EXPECT_TRUE(fw::Application.HelpCommand(HELP_CONTENTS, 0));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"router event 1", "previous 1 8", "router event 2",
                                               "router event 3", "previous 3 0"}));
    EXPECT_FALSE(htmlhelp::HtmlHelpLoaded()) << "the handlers served everything";

    order.clear();
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_CONTEXT, 5));
    EXPECT_EQ(order, std::vector<std::string>{"previous 1 5"}) << "the old handler is back";

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

TEST_F(HelpRouterTest, RequestsReachTheViewerWithTheCompiledFile) {
    REQUIRE_DOUBLE();
    THelpRouter router(&owner_);
    router.LoadSettings(Settings("htHTMLhelp", "stMain"));
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_CONTEXT, 8));
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_CONTEXTPOPUP, 2)) << "stMain shows popups in full";
    static const char kKeyword[] = "AutoSave";
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_KEY, reinterpret_cast<std::uintptr_t>(kKeyword)));
    router.Helpfile = "D:\\Manuals\\Jot";
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_FINDER, 0));
    EXPECT_EQ(LoggedCalls(), (std::vector<std::string>{
                                 "hwnd=0 cmd=0x0F file=" + std::string(kAppChm) + " data=8",
                                 "hwnd=0 cmd=0x0F file=" + std::string(kAppChm) + " data=2",
                                 "hwnd=0 cmd=0x02 file=" + std::string(kAppChm) + " key=AutoSave",
                                 "hwnd=0 cmd=0x01 file=D:\\Manuals\\Jot.chm data=0",
                             }));

    THelpRouterSettings damaged = Settings("htHtmlHelp", "stMain");
    EXPECT_THROW(router.LoadSettings(damaged), EPersistedDataError);
    EXPECT_EQ(router.HelpType, htHTMLhelp) << "a rejected value changes nothing";
}

TEST_F(HelpRouterTest, QuitLoadsNothingButClosesAnOpenViewer) {
    REQUIRE_DOUBLE();
    THelpRouter router(&owner_);
    router.LoadSettings(Settings("htHTMLhelp", "stMain"));
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_QUIT, 0));
    EXPECT_FALSE(DoubleLoaded());
    EXPECT_TRUE(LoggedCalls().empty());

    fw::Application.HelpCommand(HELP_CONTEXT, 1);
    ASSERT_TRUE(DoubleLoaded());
    EXPECT_TRUE(fw::Application.HelpCommand(HELP_QUIT, 0));
    const std::vector<std::string> calls = LoggedCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1], "hwnd=0 cmd=0x12 file=(null) data=0");
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
    const std::string head = "hwnd=" + Number(window) + " cmd=0x0E file=";
    const std::string size = " popup size=" + std::to_string(sizeof(HH_POPUP)) + " hinst=0";
    const std::string look =
        " fore=0x1FFFFFFF back=0x1FFFFFFF margins=-1,-1,-1,-1 font=MS Sans Serif, 8";
    EXPECT_EQ(LoggedCalls(),
              (std::vector<std::string>{
                  head + kAppChm + "::/CSHelp.txt" + size + " id=7 text= pt=-20,300" + look,
                  head + "(null)" + size + " id=0 text=Plain words pt=5,6" + look,
              }));
    EXPECT_EQ(router.CHMPopupTopics, "CSHelp.txt");
}

TEST_F(HelpRouterTest, MissingLibraryLeavesTheRequestForWinHelpAndIsRetried) {
    REQUIRE_DOUBLE();
    htmlhelp::SetHtmlHelpLibraryPath(harness::ExeFolder() + "no_such_hhctrl.dll");
    THelpRouter router(&owner_);
    router.LoadSettings(Settings("htHTMLhelp", "stMain"));
    bool callHelp = true;
    EXPECT_FALSE(router.HandleHelp(HELP_CONTEXT, 8, callHelp));
    EXPECT_TRUE(callHelp) << "the application falls back to WinHelp";
    EXPECT_FALSE(router.ShowPopup(1, 1, 2, ""));
    EXPECT_FALSE(htmlhelp::HtmlHelpLoaded());

    htmlhelp::SetHtmlHelpLibraryPath(DoublePath());
    callHelp = true;
    EXPECT_TRUE(router.HandleHelp(HELP_CONTEXT, 8, callHelp));
    EXPECT_FALSE(callHelp);
    EXPECT_EQ(LoggedCalls().size(), 1u);
}

TEST_F(HelpRouterTest, LibraryComesFromTheSystemFolderOnly) {
    REQUIRE_DOUBLE();
    // Copies planted where a search by bare name would look first.
    Plant(harness::ExeFolder() + "HHCTRL.OCX");
    char folder[MAX_PATH];
    ASSERT_TRUE(GetCurrentDirectoryA(sizeof folder, folder));
    Plant(std::string(folder) + "\\HHCTRL.OCX");

    htmlhelp::SetHtmlHelpLibraryPath("");
    ASSERT_TRUE(GetSystemDirectoryA(folder, sizeof folder));
    EXPECT_EQ(htmlhelp::HtmlHelpLibraryPath(), std::string(folder) + "\\HHCTRL.OCX");
    if (!htmlhelp::LoadHtmlHelp()) return;  // no system library on this machine: nothing ran
    char loaded[MAX_PATH];
    ASSERT_TRUE(GetModuleFileNameA(GetModuleHandleA("hhctrl.ocx"), loaded, sizeof loaded));
    EXPECT_EQ(lstrcmpiA(loaded, htmlhelp::HtmlHelpLibraryPath().c_str()), 0) << loaded;
}

}  // namespace
