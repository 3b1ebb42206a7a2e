#include "components/help/helpcommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace helpcmd;

constexpr char kHelpFile[] = "C:\\My.Tools\\BriskJot.exe";
constexpr char kChm[] = "C:\\My.Tools\\BriskJot.chm";
constexpr char kHlp[] = "C:\\My.Tools\\BriskJot.hlp";

// One viewer call as text, so a row can spell out exactly what it expects.
class RecordingViewer : public THelpViewer {
public:
    bool loaded = true;
    bool loadable = true;
    bool answer = true;
    int cursorX = 640, cursorY = 480;
    std::vector<std::string> calls;

    bool HtmlHelpLoaded() override { return loaded; }
    bool HtmlHelpUsable() override {
        if (!loaded) {
            calls.push_back("load");
            loaded = loadable;
        }
        return loaded;
    }
    bool CallHtmlHelp(const char* file, unsigned command, std::uintptr_t data) override {
        calls.push_back("hh " + std::string(file ? file : "-") + " " + std::to_string(command) +
                        " " + std::to_string(data));
        return answer;
    }
    bool CallWinHelp(const std::string& file, unsigned command, std::uintptr_t data) override {
        calls.push_back("wh " + file + " " + std::to_string(command) + " " + std::to_string(data));
        return answer;
    }
    void CursorPos(int& x, int& y) override {
        calls.push_back("cursor");
        x = cursorX;
        y = cursorY;
    }
    bool ShowPopup(int x, int y, unsigned number, const std::string& text) override {
        calls.push_back("popup " + std::to_string(x) + "," + std::to_string(y) + " " +
                        std::to_string(number) + " '" + text + "'");
        return answer;
    }
};

struct Outcome {
    bool result;
    bool callHelp;
};

Outcome Serve(THelpRouting& routing, RecordingViewer& viewer, unsigned command, std::uintptr_t data,
              bool incoming = false) {
    bool callHelp = true;
    const bool result = routing.Route(viewer, kHelpFile, command, data, incoming, callHelp);
    return {result, callHelp};
}

std::uintptr_t Position(int x, int y) {
    return (static_cast<std::uintptr_t>(static_cast<std::uint16_t>(y)) << 16) |
           static_cast<std::uint16_t>(x);
}

std::string Calls(const RecordingViewer& viewer) {
    std::string all;
    for (const std::string& call : viewer.calls) all += (all.empty() ? "" : " | ") + call;
    return all;
}

TEST(HelpCommands, HtmlHelpServesEachWinHelpCommand) {
    static const char kKeyword[] = "AutoSave";
    const auto keyword = reinterpret_cast<std::uintptr_t>(kKeyword);
    const std::string key = std::to_string(keyword);
    const std::string chm = kChm;
    struct Case {
        unsigned command;
        std::uintptr_t data;
        bool viewerAnswers;
        std::string calls;
        bool result;
    };
    const Case cases[] = {
        {kContext, 8, true, "hh " + chm + " 15 8", true},
        {kContext, 8, false, "hh " + chm + " 15 8", false},
        {kQuit, 0, true, "hh - 18 0", true},
        {kContents, 0, true, "hh " + chm + " 1 0", true},
        {kFinder, 0, true, "hh " + chm + " 1 0", true},
        {kTab, 0, true, "hh " + chm + " 1 0", true},
        {kTab, 2, true, "hh " + chm + " 2 0", true},
        {kKey, keyword, true, "hh " + chm + " 2 " + key, true},
        {kPartialKey, keyword, true, "hh " + chm + " 2 " + key, true},
        {kSetPopupPos, Position(10, 20), true, "", false},
        {kNone, 0, true, "", false},
        {0x0102, 5, true, "", false},  // a command without an HTML Help counterpart
    };
    for (const Case& c : cases) {
        THelpRouting routing;
        routing.HelpType = htHTMLhelp;
        RecordingViewer viewer;
        viewer.answer = c.viewerAnswers;
        const Outcome outcome = Serve(routing, viewer, c.command, c.data, /*incoming=*/true);
        EXPECT_EQ(Calls(viewer), c.calls) << "command " << c.command;
        EXPECT_EQ(outcome.result, c.result) << "command " << c.command;
        EXPECT_FALSE(outcome.callHelp) << "command " << c.command;
    }
}

TEST(HelpCommands, LibraryIsLoadedOnlyToShowSomething) {
    THelpRouting routing;
    routing.HelpType = htHTMLhelp;
    RecordingViewer viewer;
    viewer.loaded = false;

    Outcome quit = Serve(routing, viewer, kQuit, 0);
    EXPECT_EQ(Calls(viewer), "") << "quitting never loads the library";
    EXPECT_TRUE(quit.result);
    EXPECT_FALSE(quit.callHelp);

    // A library that cannot be loaded hands the request back, with the handlers' result.
    viewer.loadable = false;
    for (const bool incoming : {false, true}) {
        const Outcome missing = Serve(routing, viewer, kContext, 8, incoming);
        EXPECT_EQ(missing.result, incoming);
        EXPECT_TRUE(missing.callHelp);
    }
    EXPECT_EQ(Calls(viewer), "load | load") << "each request tries again";

    viewer.calls.clear();
    viewer.loadable = true;
    EXPECT_FALSE(Serve(routing, viewer, kContext, 8).callHelp);
    EXPECT_FALSE(Serve(routing, viewer, kQuit, 0).callHelp);
    EXPECT_EQ(Calls(viewer), "load | hh " + std::string(kChm) + " 15 8 | hh - 18 0");
}

TEST(HelpCommands, PopupPositionIsUsedOnceThenTheCursorIs) {
    THelpRouting routing;
    routing.HelpType = htHTMLhelp;
    RecordingViewer viewer;
    viewer.answer = false;  // a failed popup still counts as served

    EXPECT_FALSE(Serve(routing, viewer, kSetPopupPos, Position(-30, 700)).result);
    EXPECT_EQ(routing.PopupX(), -30) << "x is a signed half: left of the primary screen";
    EXPECT_EQ(routing.PopupY(), 700);
    const Outcome first = Serve(routing, viewer, kContextPopup, 12);
    EXPECT_TRUE(first.result);
    EXPECT_FALSE(first.callHelp);
    const Outcome second = Serve(routing, viewer, kContextPopup, 13);
    EXPECT_TRUE(second.result);
    EXPECT_EQ(Calls(viewer), "popup -30,700 12 '' | cursor | popup 640,480 13 ''");
    EXPECT_EQ(routing.PopupX(), 0);
    EXPECT_EQ(routing.PopupY(), 0);

    viewer.calls.clear();
    Serve(routing, viewer, kSetPopupPos, Position(0, -1));  // x = 0 alone is a set position
    Serve(routing, viewer, kContextPopup, 1);
    EXPECT_EQ(Calls(viewer), "popup 0,-1 1 ''");
}

TEST(HelpCommands, ViewerChoiceFollowsHelpTypeAndShowType) {
    const std::string chm = kChm, hlp = kHlp;
    struct Case {
        THelpType helpType;
        TShowType showType;
        unsigned command;
        std::uintptr_t data;
        std::string calls;
        bool result;
    };
    const Case cases[] = {
        {htHTMLhelp, stMain, kContextPopup, 8, "hh " + chm + " 15 8", true},
        {htHTMLhelp, stMain, kSetPopupPos, Position(1, 1), "", false},
        {htHTMLhelp, stPopup, kContextPopup, 8, "cursor | popup 640,480 8 ''", true},
        {htMixedMode, stDefault, kContext, 8, "hh " + chm + " 15 8", true},
        {htMixedMode, stDefault, kContextPopup, 8, "wh " + hlp + " 8 8", true},
        {htMixedMode, stDefault, kSetPopupPos, 65537, "wh " + hlp + " 13 65537", true},
        {htMixedMode, stMain, kContextPopup, 8, "hh " + chm + " 15 8", true},
        {htMixedMode, stMain, kSetPopupPos, 65537, "", false},
        {htWinhelp, stDefault, kContext, 8, "wh " + hlp + " 1 8", true},
        {htWinhelp, stDefault, kQuit, 0, "wh " + hlp + " 2 0", true},
        {htWinhelp, stMain, kContextPopup, 3, "wh " + hlp + " 1 3", true},
        {htWinhelp, stMain, kSetPopupPos, 65537, "", true},  // no command: nothing to do
    };
    for (const Case& c : cases) {
        THelpRouting routing;
        routing.HelpType = c.helpType;
        routing.ShowType = c.showType;
        RecordingViewer viewer;
        const Outcome outcome = Serve(routing, viewer, c.command, c.data);
        EXPECT_EQ(Calls(viewer), c.calls) << c.helpType << "/" << c.showType << " " << c.command;
        EXPECT_EQ(outcome.result, c.result) << c.helpType << "/" << c.showType << " " << c.command;
        EXPECT_FALSE(outcome.callHelp);
    }
}

TEST(HelpCommands, WinHelpPopupsMayComeFromTheirOwnFile) {
    struct Case {
        THelpType helpType;
        const char* topics;
        unsigned command;
        const char* file;
    };
    const Case cases[] = {
        {htMixedMode, "Popups.HLP", kContextPopup, "C:\\My.Tools\\Popups.hlp"},
        {htMixedMode, "D:\\Shared\\pop.hlp", kContextPopup, "D:\\Shared\\pop.hlp"},
        {htMixedMode, "CSHelp.txt", kContextPopup, kHlp},
        {htMixedMode, "Popups.hlp", kSetPopupPos, kHlp},
        {htWinhelp, "Popups.hlp", kContextPopup, kHlp},
    };
    for (const Case& c : cases) {
        THelpRouting routing;
        routing.HelpType = c.helpType;
        routing.CHMPopupTopics = c.topics;
        RecordingViewer viewer;
        Serve(routing, viewer, c.command, 7);
        ASSERT_EQ(viewer.calls.size(), 1u) << c.topics;
        EXPECT_EQ(viewer.calls[0],
                  "wh " + std::string(c.file) + " " + std::to_string(c.command) + " 7")
            << c.topics;
    }
}

TEST(HelpCommands, PopupTopicsLiveInsideTheCompiledFile) {
    THelpRouting routing;
    EXPECT_EQ(routing.PopupTopicsPath("C:\\Tools\\BriskJot.exe"),
              "C:\\Tools\\BriskJot.chm::/CSHelp.txt");
    routing.CHMPopupTopics = "pop.txt";
    EXPECT_EQ(routing.PopupTopicsPath("Help"), "Help.chm::/pop.txt");
    routing.CHMPopupTopics.clear();
    EXPECT_EQ(routing.PopupTopicsPath("C:\\A.B\\Help"), "C:\\A.B\\Help.chm::/CSHelp.txt");
    EXPECT_EQ(routing.CHMPopupTopics, "CSHelp.txt") << "an empty name is replaced for good";
}

}  // namespace
