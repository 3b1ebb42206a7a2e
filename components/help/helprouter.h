#pragma once
// Takes over the application's help requests and serves them with the HTML Help viewer,
// WinHelp remaining as the fallback.

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/error.h"
#include "components/help/helpcommands.h"
#include "framework/application.h"

namespace fw {
class TForm;
}

class EHelpRouter : public bj::Error {
public:
    using bj::Error::Error;
};

class THelpRouter : public THelpRouting, private THelpViewer {
public:
    // At most one router per process; it becomes the application's help handler.
    explicit THelpRouter(fw::TForm* owner);
    ~THelpRouter() override;
    THelpRouter(const THelpRouter&) = delete;
    THelpRouter& operator=(const THelpRouter&) = delete;

    std::string Helpfile;
    bool ValidateID = false;  // carried for the persisted data only
    fw::TApplication::HelpHandler OnHelp;

    bool HandleHelp(unsigned command, std::uintptr_t data, bool& callHelp);
    bool ShowPopup(int x, int y, unsigned number, const std::string& text) override;

    // The file and the window a request is served with.
    std::string HelpFileName() const;
    HWND HelpWindow() const;

private:
    bool HtmlHelpLoaded() override;
    bool HtmlHelpUsable() override;
    bool CallHtmlHelp(const char* file, unsigned command, std::uintptr_t data) override;
    bool CallWinHelp(const std::string& file, unsigned command, std::uintptr_t data) override;
    void CursorPos(int& x, int& y) override;

    fw::TForm* owner_;
    fw::TApplication::HelpHandler previous_;
};
