#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <atomic>

namespace driver {

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
    for (;;) {
        if (condition()) return true;
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
        Sleep(20);
    }
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
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder_ + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string path = folder_ + found.cFileName;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder_.c_str());
}

void Sandbox::WriteSettings(const std::string& lines) const {
    WriteFile(Path("BriskJot.ini"), "[Settings]\r\n" + lines);
}

Process::Process(const std::string& exe) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + exe + "\"";
    const std::string folder = exe.substr(0, exe.find_last_of('\\') + 1);
    EXPECT_TRUE(CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.c_str(), &startup, &info_))
        << "start " << exe;
}

Process::~Process() {
    if (!info_.hProcess) return;
    if (Running()) TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

int Process::WaitExit(int timeoutMs) const {
    if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<int>(code);
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
    HWND window = nullptr;
    WaitFor(
        [&] {
            window = FindTopLevel("BriskJotForm", "BriskJot");
            return window && FindWindowExA(window, nullptr, "Edit", nullptr) &&
                   WaitForInputIdle(info_.hProcess, 0) == 0;
        },
        timeoutMs);
    return window;
}

HWND Process::Memo() const {
    return FindWindowExA(FindTopLevel("BriskJotForm", "BriskJot"), nullptr, "Edit", nullptr);
}

std::string WindowText(HWND window) {
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT got =
        SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return text;
}

bool AnswerBox(const Process& process, const std::string& caption, int button) {
    HWND box = nullptr;
    if (!WaitFor(
            [&] { return (box = process.FindTopLevel("#32770", caption.c_str())) != nullptr; }))
        return false;
    HWND control = GetDlgItem(box, button);
    return control && (SendMessageA(control, BM_CLICK, 0, 0), true);
}

void TypeKeys(HWND target, const std::string& text) {
    SetForegroundWindow(target);
    for (char c : text) {
        const SHORT scan = VkKeyScanA(c);
        const bool shift = (HIBYTE(scan) & 1) != 0;
        INPUT inputs[4] = {};
        UINT n = 0;
        auto key = [&](WORD vk, DWORD flags) {
            inputs[n].type = INPUT_KEYBOARD;
            inputs[n].ki.wVk = vk;
            inputs[n].ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
            inputs[n++].ki.dwFlags = flags;
        };
        if (shift) key(VK_SHIFT, 0);
        key(LOBYTE(scan), 0);
        key(LOBYTE(scan), KEYEVENTF_KEYUP);
        if (shift) key(VK_SHIFT, KEYEVENTF_KEYUP);
        SendInput(n, inputs, sizeof(INPUT));
        Sleep(30);
    }
}

}  // namespace driver
