// The Find dialog from outside: opened by real Ctrl+F keys and by the tray
// menu, searching the memo and reporting a miss.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "app/commands.h"
#include "tests/e2e/driver.h"

namespace {

using driver::Process;
using driver::Sandbox;

constexpr int kFindWhat = 0x480;

void SendKey(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

void TypeCtrlF() {
    SendKey(VK_CONTROL, false);
    SendKey('F', false);
    SendKey('F', true);
    SendKey(VK_CONTROL, true);
}

std::pair<DWORD, DWORD> Selection(HWND memo) {
    // Plain numbers come back across processes; the pointer form does not.
    const auto both = static_cast<DWORD>(SendMessageA(memo, EM_GETSEL, 0, 0));
    return {LOWORD(both), HIWORD(both)};
}

class FindTest : public ::testing::Test {
protected:
    void SetUp() override {
        driver::WriteFile(sandbox_.Path("BriskJot.txt"), kNote);
        program_ = std::make_unique<Process>(sandbox_.Exe());
        window_ = program_->MainWindow();
        ASSERT_TRUE(window_);
        memo_ = program_->Memo();
        ASSERT_TRUE(driver::WaitFor([&] { return IsWindowVisible(window_) != FALSE; }));
    }
    // The keyboard goes to the memo: its window is in front and has finished activating.
    bool MemoHasFocus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetForegroundWindow() == window_ &&
               GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info) &&
               info.hwndFocus == memo_;
    }
    void BringToFront() const {
        SetForegroundWindow(window_);
        ASSERT_TRUE(driver::WaitFor([&] { return MemoHasFocus(); })) << "not in front";
    }
    HWND FindDialog() const { return program_->FindTopLevel("#32770", "Find"); }
    // Visible only once its set-up is over, the search text in place.
    bool WaitForDialog(HWND& dialog) const {
        return driver::WaitFor(
            [&] { return (dialog = FindDialog()) != nullptr && IsWindowVisible(dialog); });
    }

    static constexpr char kNote[] = "alpha note beta note";
    Sandbox sandbox_;
    std::unique_ptr<Process> program_;
    HWND window_ = nullptr;
    HWND memo_ = nullptr;
};

TEST_F(FindTest, CtrlFOffersTheSelectedWordAndFindNextSelectsTheFirstMatch) {
    SendMessageA(memo_, EM_SETSEL, 16, 20);  // the second "note"
    ASSERT_EQ(Selection(memo_), std::make_pair(DWORD(16), DWORD(20)));
    ASSERT_NO_FATAL_FAILURE(BringToFront());
    TypeCtrlF();
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitForDialog(dialog));
    EXPECT_EQ(driver::WindowText(GetDlgItem(dialog, kFindWhat)), "note");

    // A new search starts at the top, wherever the selection is.
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(driver::WaitFor([&] {
        return Selection(memo_) == std::make_pair(DWORD(6), DWORD(10));
    })) << Selection(memo_).first
        << "-" << Selection(memo_).second;
    EXPECT_TRUE(driver::WaitFor([&] { return !IsWindow(dialog); })) << "closed after the search";
    EXPECT_EQ(driver::WindowText(memo_), kNote) << "no control character went in";
}

TEST_F(FindTest, AMissingStringIsReportedAndLeavesTheSelection) {
    SendMessageA(memo_, EM_SETSEL, 0, 5);
    ASSERT_NO_FATAL_FAILURE(BringToFront());
    TypeCtrlF();
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitForDialog(dialog));
    EXPECT_EQ(driver::WindowText(GetDlgItem(dialog, kFindWhat)), "alpha");
    SetWindowTextA(GetDlgItem(dialog, kFindWhat), "zebra");
    // Posted: the box it brings up would hold a sent click until someone answered it.
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    std::string text;
    ASSERT_TRUE(driver::AnswerBox(*program_, "Search Results", IDOK, &text));
    EXPECT_EQ(text, "Search string \"zebra\" not found.");
    EXPECT_EQ(Selection(memo_), std::make_pair(DWORD(0), DWORD(5)));
}

TEST_F(FindTest, TheTrayFindOpensTheDialogOnAShownWindowAndShowsAHiddenOne) {
    ASSERT_NO_FATAL_FAILURE(BringToFront());
    driver::Command(window_, cmd::PopUpFindReplace);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitForDialog(dialog));
    EXPECT_EQ(driver::WindowText(memo_), kNote) << "no control character went in";
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(driver::WaitFor([&] { return !IsWindow(dialog); }));

    driver::Command(window_, cmd::MenuHide);
    ASSERT_TRUE(driver::WaitFor([&] { return !IsWindowVisible(window_); }));
    driver::Command(window_, cmd::PopUpFindReplace);
    EXPECT_TRUE(driver::WaitFor([&] { return IsWindowVisible(window_) != FALSE; }));
}

}  // namespace
