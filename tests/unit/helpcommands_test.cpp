#include "components/help/helpcommands.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <utility>

namespace {

using namespace helpcmd;

constexpr char kHelpFile[] = "C:\\A.B\\H.exe";

// Each viewer call as text, so a row can spell out exactly what it expects.
struct RecordingViewer : THelpViewer {
    bool loaded = true, loadable = true, answer = true;
    std::string calls;

    bool HtmlHelpLoaded() override { return loaded; }
    bool HtmlHelpUsable() override {
        if (!loaded) Log("load");
        return loaded = loaded || loadable;
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
    // clang-format off
    const Case cases[] = {
        {htHTMLhelp, stDefault, kContext, 8, "hh C:\\A.B\\H.chm 15 8", true},
        {htHTMLhelp, stDefault, kQuit, 0, "hh - 18 0", true},
        {htHTMLhelp, stDefault, kTab, 2, "hh C:\\A.B\\H.chm 2 0", true},
        {htHTMLhelp, stDefault, kKey, 1234, "hh C:\\A.B\\H.chm 2 1234", true},
        {htHTMLhelp, stDefault, 0x0102, 5, "", false},  // no HTML Help counterpart
        {htHTMLhelp, stMain, kContextPopup, 8, "hh C:\\A.B\\H.chm 15 8", true},
        {htHTMLhelp, stPopup, kContextPopup, 8, "cursor | popup 640 480 8 ''", true},
        {htMixedMode, stDefault, kContextPopup, 8, "wh C:\\A.B\\H.hlp 8 8", true},
        {htMixedMode, stDefault, kSetPopupPos, 65537, "wh C:\\A.B\\H.hlp 13 65537", true},
        {htMixedMode, stMain, kContextPopup, 8, "hh C:\\A.B\\H.chm 15 8", true},
        {htMixedMode, stMain, kSetPopupPos, 65537, "", false},
        {htWinhelp, stDefault, kContext, 8, "wh C:\\A.B\\H.hlp 1 8", true},
        {htWinhelp, stMain, kContextPopup, 3, "wh C:\\A.B\\H.hlp 1 3", true},
        // WinHelp popups may come from a file of their own, beside the help file by default.
        {htMixedMode, stDefault, kContextPopup, 7, "wh C:\\A.B\\P.hlp 8 7", true, "P.HLP"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.helpType << "/" << c.showType << " " << c.command);
        THelpRouting routing;
        std::tie(routing.HelpType, routing.ShowType, routing.CHMPopupTopics) =
            std::tie(c.helpType, c.showType, c.topics);
        RecordingViewer viewer;
        EXPECT_EQ(Serve(routing, viewer, c.command, c.data, /*incoming=*/true),
                  std::make_pair(c.result, false));
        EXPECT_EQ(viewer.calls, c.calls);
    }
}

TEST(HelpCommands, LibraryLoadingAndPopupPosition) {
    THelpRouting routing;
    routing.HelpType = htHTMLhelp;
    RecordingViewer viewer;
    viewer.loaded = viewer.loadable = false;
    EXPECT_EQ(Serve(routing, viewer, kQuit, 0), std::make_pair(true, false));
    // A library that cannot be loaded hands the request back, with the handlers' result.
    EXPECT_EQ(Serve(routing, viewer, kContext, 8, false), std::make_pair(false, true));
    EXPECT_EQ(Serve(routing, viewer, kContext, 8, true), std::make_pair(true, true));
    EXPECT_EQ(viewer.calls, "load | load") << "quit never loads; each request tries again";

    viewer.calls.clear();
    viewer.loadable = true;
    viewer.answer = false;  // a failed popup still counts as served
    EXPECT_EQ(Serve(routing, viewer, kContext, 8, true), std::make_pair(false, false));
    EXPECT_FALSE(Serve(routing, viewer, kSetPopupPos, (700 << 16) | 0xFFE2).first);
    EXPECT_EQ(Serve(routing, viewer, kContextPopup, 12), std::make_pair(true, false));
    EXPECT_EQ(Serve(routing, viewer, kContextPopup, 13), std::make_pair(true, false));
    Serve(routing, viewer, kSetPopupPos, 0xFFFF0000);  // x = 0 alone is a set position
    Serve(routing, viewer, kContextPopup, 1);
    // The position is used once, then the cursor; x is a signed half.
    EXPECT_EQ(viewer.calls,
              "load | hh C:\\A.B\\H.chm 15 8 | popup -30 700 12 '' | cursor | "
              "popup 640 480 13 '' | popup 0 -1 1 ''");

    routing.CHMPopupTopics.clear();
    EXPECT_EQ(routing.PopupTopicsPath("Help"), "Help.chm::/CSHelp.txt");
    EXPECT_EQ(routing.CHMPopupTopics, "CSHelp.txt") << "an empty name is replaced for good";
}

}  // namespace
