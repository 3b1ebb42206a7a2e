#pragma once
// In-process test support: real forms on real windows, message boxes answered
// from a script, bounded waits.

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/testfiles.h"

class TFormMain;
class TFormAbout;

namespace harness {

struct ShownBox {
    std::string caption;
    std::string text;
    UINT flags;
};

// Answers every message box from a queue and records it. A box that nobody
// expected fails the running test.
class MessageBoxScript {
public:
    MessageBoxScript();
    ~MessageBoxScript();
    void Answer(int button) { answers_.push_back(button); }
    const std::vector<ShownBox>& Shown() const { return shown_; }
    std::function<void()> OnShow;  // runs inside the box, before it answers

private:
    std::deque<int> answers_;
    std::vector<ShownBox> shown_;
};

// The default answer of the tests: a box nobody scripted fails the test.
int UnexpectedBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);

void Pump(int milliseconds = 0);
// The keyboard state this thread sees: exactly these keys down (VK_CONTROL brings VK_LCONTROL).
void HoldKeys(std::vector<BYTE> keys);
// WM_KEYDOWN/WM_KEYUP lParam: the key's scan code, one press, whether it was down before.
LPARAM KeyData(UINT vk, bool repeated);
// A whole press through the queue, so TranslateMessage makes its character.
void Press(HWND window, UINT vk, std::vector<BYTE> modifiers = {});
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 3000);

std::string ExeFolder();
std::string NotePath();
using testfiles::ReadFile;
using testfiles::WriteFile;
void RemoveFile(const std::string& path);

// A menu choice as it arrives, through the window: a silent abort ends there.
void Command(TFormMain& form, unsigned id);
// Text put in at the caret, then the change notification it causes handled.
void Type(TFormMain& form, const std::string& text);

using testfiles::kAutoSaveOn;
std::string SettingsPath();

// The program's two windows, created as at start-up and torn down after. The
// settings file is written from settingsLines first ("Key=Value\r\n" lines of
// [Settings]); empty lines mean no file at all, a first run.
class Program {
public:
    explicit Program(bool withAbout = true, const std::string& settingsLines = kAutoSaveOn);
    ~Program();
    TFormMain& Main() { return *main_; }

private:
    std::unique_ptr<TFormMain> main_;
    std::unique_ptr<TFormAbout> about_;
};

}  // namespace harness
