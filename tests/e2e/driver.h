#pragma once
// Drives copies of BriskJot.exe from outside: each test gets a fresh folder,
// starts the program there and works it through window messages and input.

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/testfiles.h"

namespace driver {

bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000);

// A fresh folder with a copy of BriskJot.exe (found beside this test program).
class Sandbox {
public:
    Sandbox();
    ~Sandbox();
    const std::string& Folder() const { return folder_; }
    std::string Path(const std::string& name) const { return folder_ + name; }
    std::string Exe() const { return Path("BriskJot.exe"); }
    std::string Note() const { return Path("BriskJot.txt"); }
    // BriskJot.ini with [Settings] and the given "Key=Value\r\n" lines.
    void WriteSettings(const std::string& lines) const {
        testfiles::WriteFile(Path("BriskJot.ini"), "[Settings]\r\n" + lines);
    }

private:
    std::string folder_;
};

class Process {
public:
    explicit Process(const std::string& exe);
    ~Process();  // ends the program if it still runs
    // Exit code once ended, or -1 when it did not end within the time.
    int WaitExit(int timeoutMs = 5000) const;
    bool Running() const { return WaitExit(0) == -1; }
    // The note window, once the program is started and idle.
    HWND MainWindow(int timeoutMs = 5000) const;
    HWND Memo() const {
        return FindWindowExA(FindTopLevel("BriskJotForm", "BriskJot"), nullptr, "Edit", nullptr);
    }
    HWND FindTopLevel(const char* className, const char* title = nullptr) const;

private:
    PROCESS_INFORMATION info_{};
};

using testfiles::ReadFile;
using testfiles::WriteFile;
std::string WindowText(HWND window);
std::u16string WindowTextW(HWND window);
inline void Command(HWND window, unsigned id) {
    PostMessageA(window, WM_COMMAND, id, 0);
}
// Finds a message box of the program by caption and presses a button (IDYES, IDNO, IDOK).
bool AnswerBox(const Process& process, const std::string& caption, int button);
// Puts the window in front and waits until its memo has the focus, where keys then go.
bool MemoInFront(HWND window, HWND memo);
// Real keyboard input to the foreground window.
void TypeKeys(HWND target, const std::string& text);
// Real input of a combination to whatever has the focus: keys down in order, up in reverse.
void PressKeys(std::initializer_list<WORD> keys);

// Wine starts Unix programs too: what its Windows side cannot do here (a read-only folder, a
// symbolic link) is done with them. Wine may give no handle to wait on: callers poll for the
// effect.
std::string UnixPath(const std::string& windowsPath);
void RunUnix(const std::string& program, const std::vector<std::string>& args);
// The window's menu bar as the screen shows it; empty until it is drawn (more than one colour).
std::vector<DWORD> DrawnMenuBar(HWND window);

}  // namespace driver
