#include "components/help/helprouter.h"

#include <htmlhelp.h>

#include "base/filesys.h"
#include "components/help/htmlhelpapi.h"
#include "framework/classnames.h"
#include "framework/form.h"

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(HH_POPUP) == 52, "the viewer reads a 52-byte popup record");
#endif

namespace {

constexpr char kMultipleInstances[] = "Multiple instances of THelpRouter are not allowed";
constexpr char kPopupFont[] = "MS Sans Serif, 8";
// "No colour": the viewer keeps its own.
constexpr COLORREF kDefaultColour = 0x1FFFFFFF;

THelpRouter* gRouter = nullptr;

bool IsOurForm(HWND window) {
    char className[64];
    return window && GetClassNameA(window, className, sizeof className) &&
           lstrcmpA(className, fw::classnames::kForm) == 0;
}

}  // namespace

THelpRouter::THelpRouter(fw::TForm* owner) : owner_(owner) {
    if (gRouter) throw EHelpRouter(kMultipleInstances);
    previous_ = std::move(fw::Application.OnHelp);
    fw::Application.OnHelp = [this](unsigned command, std::uintptr_t data, bool& callHelp) {
        return HandleHelp(command, data, callHelp);
    };
    gRouter = this;
}

THelpRouter::~THelpRouter() {
    fw::Application.OnHelp = std::move(previous_);
    gRouter = nullptr;
}

bool THelpRouter::HandleHelp(unsigned command, std::uintptr_t data, bool& callHelp) {
    bool result = false;
    if (OnHelp) result = OnHelp(command, data, callHelp);
    if (callHelp && previous_) result = previous_(command, data, callHelp);
    if (!callHelp) return result;
    return Route(*this, HelpFileName(), command, data, result, callHelp);
}

bool THelpRouter::ShowPopup(int x, int y, unsigned number, const std::string& text) {
    if (!htmlhelp::HtmlHelpUsable()) return false;
    HH_POPUP popup{};
    popup.cbStruct = sizeof popup;
    popup.hinst = nullptr;
    popup.idString = text.empty() ? number : 0;
    popup.pszText = text.c_str();
    popup.pt = POINT{x, y};
    popup.clrForeground = kDefaultColour;
    popup.clrBackground = kDefaultColour;
    popup.rcMargins = RECT{-1, -1, -1, -1};
    popup.pszFont = kPopupFont;
    const DWORD_PTR record = reinterpret_cast<DWORD_PTR>(&popup);
    HWND shown;
    if (popup.idString != 0) {
        const std::string topics = PopupTopicsPath(HelpFileName());
        shown = htmlhelp::CallHtmlHelp(HelpWindow(), topics.c_str(), HH_DISPLAY_TEXT_POPUP, record);
    } else {
        shown = htmlhelp::CallHtmlHelp(HelpWindow(), nullptr, HH_DISPLAY_TEXT_POPUP, record);
    }
    return shown != nullptr;
}

std::string THelpRouter::HelpFileName() const {
    // Forms carry no help file of their own, so the application's name is the one to use.
    return Helpfile.empty() ? fw::Application.HelpFile : Helpfile;
}

HWND THelpRouter::HelpWindow() const {
    // GetActiveWindow answers for this thread only, so a form found there is one of ours.
    HWND active = GetActiveWindow();
    if (IsOurForm(active)) return active;
    if (owner_ && owner_->Handle()) return owner_->Handle();
    return fw::Application.Handle();
}

bool THelpRouter::HtmlHelpLoaded() {
    return htmlhelp::HtmlHelpLoaded();
}

bool THelpRouter::HtmlHelpUsable() {
    return htmlhelp::HtmlHelpUsable();
}

bool THelpRouter::CallHtmlHelp(const char* file, unsigned command, std::uintptr_t data) {
    return htmlhelp::CallHtmlHelp(nullptr, file, command, data) != nullptr;
}

bool THelpRouter::CallWinHelp(const std::string& file, unsigned command, std::uintptr_t data) {
    return WinHelpA(HelpWindow(), file.c_str(), command, data) != FALSE;
}

void THelpRouter::CursorPos(int& x, int& y) {
    POINT point{};
    if (!GetCursorPos(&point)) return;  // the position stays unset; the viewer picks one
    x = point.x;
    y = point.y;
}
