// Reaching the window: the global hot key pressed while another program has the focus, and a
// window that is never lost off screen.
#include <gtest/gtest.h>

#include "tests/e2e/driver.h"

namespace {

using driver::Process;
using driver::Sandbox;

void PressCtrlAltJ() {
    driver::PressKeys({VK_CONTROL, VK_MENU, 'J'});
}

TEST(HotKey, ShowsAndHidesTheWindowWhileAnotherProgramHasTheFocus) {
    Sandbox sandbox;  // a first run: the default key, the window shown
    Process program(sandbox.Exe());
    HWND window = program.MainWindow();
    ASSERT_TRUE(window);
    ASSERT_TRUE(driver::WaitFor([&] { return IsWindowVisible(window) != FALSE; }));
    HWND other = CreateWindowExA(0, "EDIT", "other program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 300, 200, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(driver::WaitFor([&] { return GetForegroundWindow() == other; }));

    PressCtrlAltJ();
    EXPECT_TRUE(driver::WaitFor([&] { return !IsWindowVisible(window); }));
    PressCtrlAltJ();
    EXPECT_TRUE(driver::WaitFor([&] { return IsWindowVisible(window) != FALSE; }));
    EXPECT_TRUE(driver::WaitFor([&] { return GetForegroundWindow() == window; }))
        << "opened behind the other program";
    DestroyWindow(other);
}

TEST(HotKey, AKeyHeldByAnotherProgramLeavesBriskJotRunningWithoutABox) {
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'J'));
    Sandbox sandbox;
    Process program(sandbox.Exe());
    HWND window = program.MainWindow();
    ASSERT_TRUE(window);
    ASSERT_TRUE(driver::WaitFor([&] { return IsWindowVisible(window) != FALSE; }));
    EXPECT_FALSE(program.FindTopLevel("#32770"));
    PressCtrlAltJ();
    MSG msg;
    EXPECT_TRUE(driver::WaitFor([&] {
        return PeekMessageA(&msg, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE) != FALSE;
    })) << "the key stays with the program that held it first";
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(program.Running());
    UnregisterHotKey(nullptr, 1);
}

TEST(OffScreen, AWindowMeetingNoMonitorComesBackToTheDefaultPlace) {
    Sandbox sandbox;
    // Valid by every key's own rule, yet left of the only monitor, where a second one was.
    sandbox.WriteSettings("Left=-3000\r\nTop=100\r\nWidth=300\r\nHeight=200\r\n");
    Process program(sandbox.Exe());
    HWND window = program.MainWindow();
    ASSERT_TRUE(window);
    auto placeIs = [&](RECT expected) {
        return driver::WaitFor([&] {
            RECT r{};
            GetWindowRect(window, &r);
            return EqualRect(&r, &expected) != FALSE;
        });
    };
    const RECT defaultPlace{615, 521, 615 + 409, 521 + 219};
    EXPECT_TRUE(placeIs(defaultPlace));
    EXPECT_TRUE(driver::WaitFor([&] { return IsWindowVisible(window) != FALSE; }));

    const RECT partly{-100, 100, 200, 300};
    MoveWindow(window, partly.left, partly.top, 300, 200, TRUE);
    SendMessageA(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    EXPECT_TRUE(placeIs(partly)) << "a window partly on screen stays";
    MoveWindow(window, 1100, 100, 300, 200, TRUE);
    SendMessageA(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    EXPECT_TRUE(placeIs(defaultPlace));
}

}  // namespace
