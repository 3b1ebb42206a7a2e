#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <iterator>
#include <vector>

#include "tests/screenpixels.h"

namespace driver {

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    for (const DWORD start = GetTickCount(); !condition(); Sleep(20)) {
        // The program may send to this thread's windows (the clipboard owner, say) meanwhile.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        if (GetTickCount() - start >= static_cast<DWORD>(timeoutMs)) return false;
    }
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
    // Input goes to the foreground window: wait until it is the target.
    SetForegroundWindow(target);
    WaitFor([&] { return GetForegroundWindow() == GetAncestor(target, GA_ROOT); });
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

std::string UnixPath(const std::string& windowsPath) {
    using UnixFileName = char*(CDECL*)(LPCWSTR);
    const auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    EXPECT_TRUE(unixFileName) << "not under Wine";
    if (!unixFileName) return {};
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
    char* unixPath = unixFileName(wide);
    std::string path = unixPath ? unixPath : "";
    HeapFree(GetProcessHeap(), 0, unixPath);
    return path;
}

void RunUnix(const std::string& program, const std::vector<std::string>& args) {
    std::string command = program;
    for (const std::string& arg : args) command += " \"" + arg + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &info))
        << command;
    for (HANDLE handle : {info.hProcess, info.hThread})
        if (handle) WaitForSingleObject(handle, 10000), CloseHandle(handle);
}

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD key, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (WORD key : keys) add(key, 0);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) add(*key, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::vector<DWORD> DrawnMenuBar(HWND window) {
    // Another process's menu cannot be asked for its rectangle: the bar is the strip just above
    // the client area.
    WINDOWINFO info{};
    info.cbSize = sizeof info;
    if (!GetWindowInfo(window, &info)) return {};
    RECT bar = info.rcClient;
    bar.bottom = bar.top;
    bar.top -= GetSystemMetrics(SM_CYMENU);
    std::vector<DWORD> pixels = screenpixels::Capture(bar);
    const bool drawn =
        std::any_of(pixels.begin(), pixels.end(), [&](DWORD p) { return p != pixels[0]; });
    return drawn ? pixels : std::vector<DWORD>{};
}

}  // namespace driver
