#include "framework/application.h"

#include <vector>

#include "framework/barrier.h"
#include "framework/classnames.h"
#include "framework/form.h"
#include "framework/msgbox.h"

namespace fw {

TApplication Application;

void ReportUnhandled(const std::exception_ptr& error) noexcept {
    Application.HandleException(error);
}

void TApplication::Initialize(HINSTANCE instance) {
    instance_ = instance;
    terminated_ = false;
    if (handle_) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = &TApplication::WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = classnames::kApplication;
    wc.hIcon = LoadIconA(instance, "MAINICON");
    RegisterClassA(&wc);
    // The window that stands for the program; never shown, owner of every form.
    handle_ = CreateWindowExA(0, classnames::kApplication, Title.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
}

std::string TApplication::ExeName() const {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return "";
        // A full buffer may hold a cut path: grow and ask again.
        if (n < path.size()) return std::string(path.data(), n);
        if (path.size() >= 32768) return "";
        path.resize(path.size() * 2);
    }
}

int TApplication::Run() {
    if (ShowMainForm && mainForm_) mainForm_->Show();
    MSG msg;
    // The W calls throughout: an ANSI loop turns every character outside the code page that
    // is typed into the memo into "?".
    while (!terminated_) {
        if (!waitHandle_) {
            const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0 || got == -1) break;
            DispatchOne(msg);
            continue;
        }
        const DWORD woke = MsgWaitForMultipleObjectsEx(1, &waitHandle_, INFINITE, QS_ALLINPUT,
                                                       MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0) {
            const std::function<void()> onSignaled = onWaitSignaled_;  // it may stop the wait
            Guarded([&] { onSignaled(); });
        } else if (woke == WAIT_FAILED) {
            waitHandle_ = nullptr;  // a closed handle would fail every wait: messages only
        }
        // After every wake: a handle signaled again and again must not starve the input.
        while (!terminated_ && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchOne(msg);
    }
    return 0;
}

void TApplication::SetWaitHandle(HANDLE handle, std::function<void()> onSignaled) {
    waitHandle_ = handle;
    onWaitSignaled_ = handle ? std::move(onSignaled) : nullptr;
}

bool TApplication::DispatchOne(MSG& msg) {
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return false;
    }
    if (modelessDialog_ && IsWindow(modelessDialog_) && IsDialogMessageW(modelessDialog_, &msg))
        return true;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!DispatchOne(msg)) {
            PostQuitMessage(0);  // keep the quit for the main loop
            break;
        }
    }
}

void TApplication::Terminate() {
    if (terminated_) return;
    terminated_ = true;
    PostQuitMessage(0);
}

void TApplication::Reset() {
    mainForm_ = nullptr;
    modelessDialog_ = nullptr;
    SetWaitHandle(nullptr, nullptr);
    terminated_ = false;
    OnException = nullptr;
    OnDeactivate = nullptr;
    OnHelp = nullptr;
    // A quit left over from a finished run would end the next one at once.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void TApplication::HandleException(const std::exception_ptr& error) noexcept {
    if (OnException) {
        try {
            OnException(error);
            return;
        } catch (...) {
            // The hook itself failed: nothing sensible is left but ending.
        }
    }
    Terminate();
}

void TApplication::Deactivated() {
    if (OnDeactivate) OnDeactivate();
}

bool TApplication::HelpCommand(unsigned command, std::uintptr_t data) {
    bool callHelp = true;
    bool result = false;
    if (OnHelp) result = OnHelp(command, data, callHelp);
    if (callHelp) {
        HWND owner = mainForm_ ? mainForm_->Handle() : handle_;
        result = WinHelpA(owner, HelpFile.c_str(), command, data) != FALSE;
    }
    return result;
}

bool TApplication::HelpContext(unsigned number) {
    return HelpCommand(HELP_CONTEXT, number);
}

int TApplication::MessageBox(const std::string& text, const std::string& subject, UINT flags) {
    HWND owner = GetActiveWindow();
    if (!owner) {
        // Owned by the hidden application window, the box must not fall behind our topmost form.
        owner = handle_;
        flags |= MB_TOPMOST;
    }
    return ShowMessageBox(owner, text, Caption(subject), flags);
}

LRESULT CALLBACK TApplication::WindowProc(HWND hwnd, UINT msg, WPARAM wParam,
                                          LPARAM lParam) noexcept {
    if (msg == WM_ACTIVATEAPP && !wParam) Guarded([] { Application.Deactivated(); });
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace fw
