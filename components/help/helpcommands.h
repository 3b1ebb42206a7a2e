#pragma once
// How a help request turns into viewer calls once the application's handlers have had it:
// the choice between HTML Help and WinHelp, and the WinHelp-to-HTML-Help command table.
// No window here, so the whole table is tested natively against a recording viewer.

#include <cstdint>
#include <string>

enum THelpType { htWinhelp, htHTMLhelp, htMixedMode };
enum TShowType { stDefault, stMain, stPopup };

// The persisted identifiers, in the enumerations' order.
inline constexpr const char* kHelpTypeNames[] = {"htWinhelp", "htHTMLhelp", "htMixedMode"};
inline constexpr const char* kShowTypeNames[] = {"stDefault", "stMain", "stPopup"};
// False for an unknown identifier.
bool HelpTypeFromName(const std::string& name, THelpType& type);
bool ShowTypeFromName(const std::string& name, TShowType& type);

namespace helpcmd {
// WinHelp command codes, as the application's help path carries them.
constexpr unsigned kNone = 0;
constexpr unsigned kContext = 0x0001;
constexpr unsigned kQuit = 0x0002;
constexpr unsigned kContents = 0x0003;
constexpr unsigned kContextPopup = 0x0008;
constexpr unsigned kFinder = 0x000B;
constexpr unsigned kSetPopupPos = 0x000D;
constexpr unsigned kTab = 0x000F;
constexpr unsigned kKey = 0x0101;
constexpr unsigned kPartialKey = 0x0105;

// HTML Help commands the router issues.
constexpr unsigned kHHDisplayToc = 0x0001;
constexpr unsigned kHHDisplayIndex = 0x0002;
constexpr unsigned kHHDisplayTextPopup = 0x000E;
constexpr unsigned kHHHelpContext = 0x000F;
constexpr unsigned kHHCloseAll = 0x0012;
}  // namespace helpcmd

// The system side of routing. Every HTML Help call goes to the null window, so the viewer's
// windows belong to no window of the program.
class THelpViewer {
public:
    virtual ~THelpViewer() = default;
    virtual bool HtmlHelpLoaded() = 0;
    // Loads the library on demand; true when its entry is known.
    virtual bool HtmlHelpUsable() = 0;
    // file is null for "no file"; true when the viewer returned non-zero.
    virtual bool CallHtmlHelp(const char* file, unsigned command, std::uintptr_t data) = 0;
    virtual bool CallWinHelp(const std::string& file, unsigned command, std::uintptr_t data) = 0;
    virtual void CursorPos(int& x, int& y) = 0;
    virtual bool ShowPopup(int x, int y, unsigned number, const std::string& text) = 0;
};

// The router's viewer choice and command table, with the popup position it keeps between a
// position request and the popup that follows.
class THelpRouting {
public:
    THelpType HelpType = htWinhelp;
    TShowType ShowType = stDefault;
    std::string CHMPopupTopics = "CSHelp.txt";

    // Serves a request that the handlers left with callHelp set. result is what they returned;
    // it comes back unchanged, with callHelp still set, when HTML Help cannot be loaded.
    bool Route(THelpViewer& viewer, const std::string& helpFile, unsigned command,
               std::uintptr_t data, bool result, bool& callHelp);

    // "<help file>.chm::/<topics>" for popups by number; an empty topics name becomes the
    // default one first.
    std::string PopupTopicsPath(const std::string& helpFile);

private:
    bool RouteHtmlHelp(THelpViewer& viewer, const std::string& helpFile, unsigned command,
                       std::uintptr_t data, bool result, bool& callHelp);
    bool RouteWinHelp(THelpViewer& viewer, const std::string& helpFile, unsigned command,
                      std::uintptr_t data, bool& callHelp);

    // (0, 0) means not set.
    int popupX_ = 0;
    int popupY_ = 0;
};
