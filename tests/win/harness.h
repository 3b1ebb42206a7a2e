#pragma once
// In-process test support: real forms on real windows, message boxes answered
// from a script, bounded waits.

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 3000);

std::string ExeFolder();
std::string NotePath();
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
void RemoveFile(const std::string& path);

// Settings most tests start from: AutoSave on, everything else as on a first run.
inline constexpr char kAutoSaveOn[] = "AutoSave Memo=1\r\n";
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
