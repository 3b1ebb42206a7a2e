#pragma once
// The application object: title, help file, hooks, the hidden application
// window and the message loop.

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace fw {

class TForm;

class TApplication {
public:
    // cmd and data as WinHelp takes them; callHelp is cleared by whoever served the request.
    using HelpHandler = std::function<bool(unsigned command, std::uintptr_t data, bool& callHelp)>;

    void Initialize(HINSTANCE instance);

    std::string Title;
    std::string HelpFile;
    std::function<void(std::exception_ptr)> OnException;
    std::function<void()> OnDeactivate;
    HelpHandler OnHelp;
    bool ShowMainForm = true;

    HINSTANCE Instance() const { return instance_; }
    HWND Handle() const { return handle_; }
    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form) { mainForm_ = form; }
    std::string ExeName() const;

    // Runs the loop until Terminate(); returns the exit code.
    int Run();
    // A kernel object the loop waits on beside the messages: onSignaled runs on this thread
    // whenever it is signaled, and must reset it or stop the wait. Null stops the wait.
    void SetWaitHandle(HANDLE handle, std::function<void()> onSignaled);
    HANDLE WaitHandle() const { return waitHandle_; }
    void Terminate();
    bool Terminated() const { return terminated_; }
    void ProcessMessages();
    // A modeless dialog whose keys (Tab, Enter, Escape) the loop must route to it.
    void SetModelessDialog(HWND dialog) { modelessDialog_ = dialog; }
    HWND ModelessDialog() const { return modelessDialog_; }

    void HandleException(const std::exception_ptr& error) noexcept;
    void Deactivated();
    bool HelpCommand(unsigned command, std::uintptr_t data);
    bool HelpContext(unsigned number);

    // A modal box captioned "Title - subject".
    int MessageBox(const std::string& text, const std::string& subject, UINT flags);
    std::string Caption(const std::string& subject) const { return Title + " - " + subject; }

    // Test hook and forgetting of forms destroyed before the application.
    void Reset();

private:
    bool DispatchOne(MSG& msg);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

    HINSTANCE instance_ = nullptr;
    HWND handle_ = nullptr;
    TForm* mainForm_ = nullptr;
    HWND modelessDialog_ = nullptr;
    bool terminated_ = false;
    HANDLE waitHandle_ = nullptr;
    std::function<void()> onWaitSignaled_;
};

extern TApplication Application;

}  // namespace fw
