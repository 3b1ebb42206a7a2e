#include "components/help/helpcommands.h"

#include <algorithm>
#include <cstddef>

#include "base/filesys.h"

namespace {

constexpr char kDefaultPopupTopics[] = "CSHelp.txt";

template <typename Enum, std::size_t N>
bool FromName(const std::string& name, const char* const (&names)[N], Enum& value) {
    for (std::size_t i = 0; i < N; ++i) {
        if (name == names[i]) {
            value = static_cast<Enum>(i);
            return true;
        }
    }
    return false;
}

std::string LowerExtension(const std::string& fileName) {
    std::string ext = fileName.substr(ChangeFileExt(fileName, "").size());
    std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return ext;
}

// WinHelp packs a screen position as two signed 16-bit halves, x low.
int SignedHalf(std::uintptr_t data, int shift) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((data >> shift) & 0xFFFFu));
}

}  // namespace

bool HelpTypeFromName(const std::string& name, THelpType& type) {
    return FromName(name, kHelpTypeNames, type);
}

bool ShowTypeFromName(const std::string& name, TShowType& type) {
    return FromName(name, kShowTypeNames, type);
}

bool THelpRouting::Route(THelpViewer& viewer, const std::string& helpFile, unsigned command,
                         std::uintptr_t data, bool result, bool& callHelp) {
    if (ShowType == stMain) {
        if (command == helpcmd::kContextPopup) command = helpcmd::kContext;
        if (command == helpcmd::kSetPopupPos) command = helpcmd::kNone;
    }
    bool html = HelpType == htHTMLhelp;
    if (HelpType == htMixedMode)
        html = command != helpcmd::kContextPopup && command != helpcmd::kSetPopupPos;
    return html ? RouteHtmlHelp(viewer, helpFile, command, data, result, callHelp)
                : RouteWinHelp(viewer, helpFile, command, data, callHelp);
}

bool THelpRouting::RouteHtmlHelp(THelpViewer& viewer, const std::string& helpFile, unsigned command,
                                 std::uintptr_t data, bool result, bool& callHelp) {
    // Loading the library only to close its windows would be wasted work at every exit.
    if (command == helpcmd::kQuit && !viewer.HtmlHelpLoaded()) {
        callHelp = false;
        return true;
    }
    if (!viewer.HtmlHelpUsable()) return result;  // callHelp stays set: WinHelp takes over

    const std::string chm = ChangeFileExt(helpFile, ".chm");
    bool called = false;
    switch (command) {
        case helpcmd::kContext:
            called = viewer.CallHtmlHelp(chm.c_str(), helpcmd::kHHHelpContext, data);
            break;
        case helpcmd::kQuit:
            called = viewer.CallHtmlHelp(nullptr, helpcmd::kHHCloseAll, 0);
            break;
        case helpcmd::kContents:
        case helpcmd::kFinder:
            called = viewer.CallHtmlHelp(chm.c_str(), helpcmd::kHHDisplayToc, 0);
            break;
        case helpcmd::kTab:
            called = viewer.CallHtmlHelp(
                chm.c_str(), data == 0 ? helpcmd::kHHDisplayToc : helpcmd::kHHDisplayIndex, 0);
            break;
        case helpcmd::kKey:
        case helpcmd::kPartialKey:
            called = viewer.CallHtmlHelp(chm.c_str(), helpcmd::kHHDisplayIndex, data);
            break;
        case helpcmd::kSetPopupPos:
            popupX_ = SignedHalf(data, 0);
            popupY_ = SignedHalf(data, 16);
            break;
        case helpcmd::kContextPopup: {
            if (popupX_ == 0 && popupY_ == 0) viewer.CursorPos(popupX_, popupY_);
            const int x = popupX_, y = popupY_;
            popupX_ = popupY_ = 0;
            viewer.ShowPopup(x, y, static_cast<unsigned>(data), std::string());
            callHelp = false;
            return true;  // served, whatever the popup made of it
        }
        default:
            break;
    }
    callHelp = false;
    return called;
}

bool THelpRouting::RouteWinHelp(THelpViewer& viewer, const std::string& helpFile, unsigned command,
                                std::uintptr_t data, bool& callHelp) {
    callHelp = false;
    if (command == helpcmd::kNone) return true;
    std::string file = helpFile;
    if (command == helpcmd::kContextPopup && HelpType == htMixedMode &&
        LowerExtension(CHMPopupTopics) == ".hlp") {
        file = CHMPopupTopics;
        if (ExtractFilePath(file).empty()) file = ExtractFilePath(helpFile) + file;
    }
    return viewer.CallWinHelp(ChangeFileExt(file, ".hlp"), command, data);
}

std::string THelpRouting::PopupTopicsPath(const std::string& helpFile) {
    if (CHMPopupTopics.empty()) CHMPopupTopics = kDefaultPopupTopics;
    return ChangeFileExt(helpFile, ".chm") + "::/" + CHMPopupTopics;
}
