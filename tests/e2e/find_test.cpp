// The tray menu's Find from outside: it types a real Ctrl+F into the note window. The search
// rules, the result boxes and the key handling are in-process tests.
#include <gtest/gtest.h>

#include <string>

#include "app/commands.h"
#include "tests/e2e/driver.h"

namespace {

constexpr int kFindWhat = 0x480;
constexpr char kNote[] = "alpha note beta note";

TEST(Find, TheTrayFindTypesCtrlFToOpenTheDialogWithoutTypingIntoTheNote) {
    driver::Sandbox sandbox;
    driver::WriteFile(sandbox.Note(), kNote);
    driver::Process program(sandbox.Exe());
    HWND window = program.MainWindow();
    ASSERT_TRUE(window);
    HWND memo = program.Memo();
    ASSERT_TRUE(driver::WaitFor([&] { return IsWindowVisible(window) != FALSE; }));
    SendMessageA(memo, EM_SETSEL, 16, 20);  // the second "note"
    // The keys go to the memo once its window is in front and done activating.
    SetForegroundWindow(window);
    ASSERT_TRUE(driver::WaitFor([&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetForegroundWindow() == window &&
               GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
               info.hwndFocus == memo;
    }));
    driver::Command(window, cmd::PopUpFindReplace);
    // Visible only once its set-up is over, the search text in place. The first Find loads the
    // dialog libraries, which takes seconds on a busy machine.
    HWND dialog = nullptr;
    ASSERT_TRUE(driver::WaitFor(
        [&] {
            dialog = program.FindTopLevel("#32770", "Find");
            return dialog && IsWindowVisible(dialog);
        },
        15000));
    EXPECT_EQ(driver::WindowText(GetDlgItem(dialog, kFindWhat)), "note");
    // A new search starts at the top, wherever the selection is.
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    // Plain numbers come back across processes; the pointer form does not.
    EXPECT_TRUE(
        driver::WaitFor([&] { return SendMessageA(memo, EM_GETSEL, 0, 0) == MAKELONG(6, 10); }));
    EXPECT_TRUE(driver::WaitFor([&] { return !IsWindow(dialog); })) << "closed after the search";
    EXPECT_EQ(driver::WindowText(memo), kNote) << "no control character went in";
}

}  // namespace
