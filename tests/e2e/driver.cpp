#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

namespace driver {

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    for (const DWORD start = GetTickCount(); !condition(); Sleep(20))
        if (GetTickCount() - start >= static_cast<DWORD>(timeoutMs)) return false;
    return true;
}

Sandbox::Sandbox() {
    static std::atomic<int> counter{0};
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "bj-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(++counter) + "\\";
    CreateDirectoryA(folder_.c_str(), nullptr);
    char self[MAX_PATH];
    std::string source(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
    source = source.substr(0, source.find_last_of('\\') + 1) + "BriskJot.exe";
    EXPECT_TRUE(CopyFileA(source.c_str(), Exe().c_str(), FALSE)) << "copy " << source;
}

Sandbox::~Sandbox() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

Process::Process(const std::string& exe) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + exe + "\"";
    EXPECT_TRUE(CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               exe.substr(0, exe.find_last_of('\\') + 1).c_str(), &startup, &info_))
        << "start " << exe;
}

Process::~Process() {
    if (!info_.hProcess) return;
    TerminateProcess(info_.hProcess, 99);  // fails harmlessly once it has ended
    WaitForSingleObject(info_.hProcess, 5000);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

int Process::WaitExit(int timeoutMs) const {
    DWORD code = 0;
    return WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0 &&
                   GetExitCodeProcess(info_.hProcess, &code)
               ? static_cast<int>(code)
               : -1;
}

HWND Process::FindTopLevel(const char* className, const char* title) const {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, className, title)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == info_.dwProcessId) return window;
    }
    return nullptr;
}

HWND Process::MainWindow(int timeoutMs) const {
    const bool ready =
        WaitFor([&] { return Memo() && WaitForInputIdle(info_.hProcess, 0) == 0; }, timeoutMs);
    return ready ? FindTopLevel("BriskJotForm", "BriskJot") : nullptr;
}

std::string WindowText(HWND window) {
    std::string text(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0) + 1, '\0');
    text.resize(SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0])));
    return text;
}

std::u16string WindowTextW(HWND window) {
    std::u16string text(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0) + 1, u'\0');
    text.resize(SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0])));
    return text;
}

bool MemoInFront(HWND window, HWND memo) {
    // Wine can make a window foreground at a cold start without activating it (and the program
    // autosaves only once activated): it is brought in front from a window of ours, as a click
    // would.
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 1, 1, nullptr,
                                 nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    SetForegroundWindow(window);
    DestroyWindow(other);
    return WaitFor([&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetForegroundWindow() == window &&
               GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
               info.hwndFocus == memo;
    });
}

bool AnswerBox(const Process& process, const std::string& caption, int button) {
    HWND control = nullptr;
    WaitFor([&] {
        return (control = GetDlgItem(process.FindTopLevel("#32770", caption.c_str()), button));
    });
    return control && (SendMessageA(control, BM_CLICK, 0, 0), true);
}

void TypeKeys(HWND target, const std::string& text) {
    SetForegroundWindow(target);
    for (const char c : text) {  // no shifted characters
        INPUT inputs[2] = {};
        for (int i = 0; i < 2; ++i) {
            inputs[i].type = INPUT_KEYBOARD;
            inputs[i].ki.wVk = LOBYTE(VkKeyScanA(c));
            inputs[i].ki.wScan =
                static_cast<WORD>(MapVirtualKeyA(inputs[i].ki.wVk, MAPVK_VK_TO_VSC));
            inputs[i].ki.dwFlags = i ? KEYEVENTF_KEYUP : 0;
        }
        SendInput(2, inputs, sizeof(INPUT));
        Sleep(30);
    }
}

}  // namespace driver
