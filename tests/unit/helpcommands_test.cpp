#include "components/help/helpcommands.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

namespace {

using namespace helpcmd;

constexpr char kHelpFile[] = "C:\\A.B\\H.exe";

// Each viewer call as text, so a row can spell out exactly what it expects.
class RecordingViewer : public THelpViewer {
public:
    bool loaded = true, loadable = true, answer = true;
    std::string calls;

    bool HtmlHelpLoaded() override { return loaded; }
    bool HtmlHelpUsable() override {
        if (!loaded) {
            Log("load");
            loaded = loadable;
        }
        return loaded;
    }
    bool CallHtmlHelp(const char* file, unsigned command, std::uintptr_t data) override {
        return Log("hh", file ? file : "-", command, data);
    }
    bool CallWinHelp(const std::string& file, unsigned command, std::uintptr_t data) override {
        return Log("wh", file, command, data);
    }
    void CursorPos(int& x, int& y) override {
        Log("cursor");
        x = 640;
        y = 480;
    }
    bool ShowPopup(int x, int y, unsigned number, const std::string& text) override {
        return Log("popup", x, y, number, "'" + text + "'");
    }

private:
    template <typename... Parts>
    bool Log(const Parts&... parts) {
        std::ostringstream call;
        ((call << ' ' << parts), ...);
        calls += calls.empty() ? call.str().substr(1) : " |" + call.str();
        return answer;
    }
};

// The result and callHelp after routing one request.
std::pair<bool, bool> Serve(THelpRouting& routing, RecordingViewer& viewer, unsigned command,
                            std::uintptr_t data, bool incoming = false) {
    bool callHelp = true;
    const bool result = routing.Route(viewer, kHelpFile, command, data, incoming, callHelp);
    return {result, callHelp};
}

std::uintptr_t Position(int x, int y) {
    return (static_cast<std::uintptr_t>(static_cast<std::uint16_t>(y)) << 16) |
           static_cast<std::uint16_t>(x);
}

TEST(HelpCommands, ViewerAndCommandFollowHelpTypeShowTypeAndPopupTopics) {
    struct Case {
        THelpType helpType;
        TShowType showType;
        unsigned command;
        std::uintptr_t data;
        const char* calls;
        bool result;
        const char* topics = "CSHelp.txt";
    };
    const Case cases[] = {
        {htHTMLhelp, stDefault, kContext, 8, "hh C:\\A.B\\H.chm 15 8", true},
        {htHTMLhelp, stDefault, kQuit, 0, "hh - 18 0", true},
        {htHTMLhelp, stDefault, kContents, 0, "hh C:\\A.B\\H.chm 1 0", true},
        {htHTMLhelp, stDefault, kFinder, 0, "hh C:\\A.B\\H.chm 1 0", true},
        {htHTMLhelp, stDefault, kTab, 0, "hh C:\\A.B\\H.chm 1 0", true},
        {htHTMLhelp, stDefault, kTab, 2, "hh C:\\A.B\\H.chm 2 0", true},
        {htHTMLhelp, stDefault, kKey, 1234, "hh C:\\A.B\\H.chm 2 1234", true},
        {htHTMLhelp, stDefault, kPartialKey, 1234, "hh C:\\A.B\\H.chm 2 1234", true},
        {htHTMLhelp, stDefault, kSetPopupPos, Position(10, 20), "", false},
        {htHTMLhelp, stDefault, kNone, 0, "", false},
        {htHTMLhelp, stDefault, 0x0102, 5, "", false},  // no HTML Help counterpart
        {htHTMLhelp, stMain, kContextPopup, 8, "hh C:\\A.B\\H.chm 15 8", true},
        {htHTMLhelp, stMain, kSetPopupPos, Position(1, 1), "", false},
        {htHTMLhelp, stPopup, kContextPopup, 8, "cursor | popup 640 480 8 ''", true},
        {htMixedMode, stDefault, kContext, 8, "hh C:\\A.B\\H.chm 15 8", true},
        {htMixedMode, stDefault, kContextPopup, 8, "wh C:\\A.B\\H.hlp 8 8", true},
        {htMixedMode, stDefault, kSetPopupPos, 65537, "wh C:\\A.B\\H.hlp 13 65537", true},
        {htMixedMode, stMain, kContextPopup, 8, "hh C:\\A.B\\H.chm 15 8", true},
        {htMixedMode, stMain, kSetPopupPos, 65537, "", false},
        {htWinhelp, stDefault, kContext, 8, "wh C:\\A.B\\H.hlp 1 8", true},
        {htWinhelp, stDefault, kQuit, 0, "wh C:\\A.B\\H.hlp 2 0", true},
        {htWinhelp, stMain, kContextPopup, 3, "wh C:\\A.B\\H.hlp 1 3", true},
        {htWinhelp, stMain, kSetPopupPos, 65537, "", true},  // no command: nothing to do
        // WinHelp popups may come from a file of their own, beside the help file by default.
        {htMixedMode, stDefault, kContextPopup, 7, "wh C:\\A.B\\P.hlp 8 7", true, "P.HLP"},
        {htMixedMode, stDefault, kContextPopup, 7, "wh D:\\S\\pop.hlp 8 7", true, "D:\\S\\pop.hlp"},
        {htMixedMode, stDefault, kSetPopupPos, 7, "wh C:\\A.B\\H.hlp 13 7", true, "P.hlp"},
        {htWinhelp, stDefault, kContextPopup, 7, "wh C:\\A.B\\H.hlp 8 7", true, "P.hlp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.helpType << "/" << c.showType << " command "
                                        << c.command << " topics " << c.topics);
        THelpRouting routing;
        routing.HelpType = c.helpType;
        routing.ShowType = c.showType;
        routing.CHMPopupTopics = c.topics;
        RecordingViewer viewer;
        EXPECT_EQ(Serve(routing, viewer, c.command, c.data, /*incoming=*/true),
                  std::make_pair(c.result, false));
        EXPECT_EQ(viewer.calls, c.calls);
    }
}

TEST(HelpCommands, LibraryIsLoadedOnlyToShowSomething) {
    THelpRouting routing;
    routing.HelpType = htHTMLhelp;
    RecordingViewer viewer;
    viewer.loaded = false;
    EXPECT_EQ(Serve(routing, viewer, kQuit, 0), std::make_pair(true, false));
    EXPECT_EQ(viewer.calls, "") << "quitting never loads the library";

    // A library that cannot be loaded hands the request back, with the handlers' result.
    viewer.loadable = false;
    EXPECT_EQ(Serve(routing, viewer, kContext, 8, false), std::make_pair(false, true));
    EXPECT_EQ(Serve(routing, viewer, kContext, 8, true), std::make_pair(true, true));
    EXPECT_EQ(viewer.calls, "load | load") << "each request tries again";

    viewer.calls.clear();
    viewer.loadable = true;
    viewer.answer = false;
    EXPECT_EQ(Serve(routing, viewer, kContext, 8, true), std::make_pair(false, false));
    EXPECT_EQ(Serve(routing, viewer, kQuit, 0), std::make_pair(false, false));
    EXPECT_EQ(viewer.calls, "load | hh C:\\A.B\\H.chm 15 8 | hh - 18 0");
}

TEST(HelpCommands, PopupPositionIsUsedOnceThenTheCursorIs) {
    THelpRouting routing;
    routing.HelpType = htHTMLhelp;
    RecordingViewer viewer;
    viewer.answer = false;  // a failed popup still counts as served
    EXPECT_FALSE(Serve(routing, viewer, kSetPopupPos, Position(-30, 700)).first);
    EXPECT_EQ(Serve(routing, viewer, kContextPopup, 12), std::make_pair(true, false));
    EXPECT_EQ(Serve(routing, viewer, kContextPopup, 13), std::make_pair(true, false));
    // x is a signed half: left of the primary screen.
    EXPECT_EQ(viewer.calls, "popup -30 700 12 '' | cursor | popup 640 480 13 ''");

    viewer.calls.clear();
    Serve(routing, viewer, kSetPopupPos, Position(0, -1));  // x = 0 alone is a set position
    Serve(routing, viewer, kContextPopup, 1);
    EXPECT_EQ(viewer.calls, "popup 0 -1 1 ''");
}

TEST(HelpCommands, PopupTopicsLiveInsideTheCompiledFile) {
    THelpRouting routing;
    routing.CHMPopupTopics = "pop.txt";
    EXPECT_EQ(routing.PopupTopicsPath(kHelpFile), "C:\\A.B\\H.chm::/pop.txt");
    routing.CHMPopupTopics.clear();
    EXPECT_EQ(routing.PopupTopicsPath("Help"), "Help.chm::/CSHelp.txt");
    EXPECT_EQ(routing.CHMPopupTopics, "CSHelp.txt") << "an empty name is replaced for good";
}

}  // namespace
