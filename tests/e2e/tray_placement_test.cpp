// The tray icon and the window's place, from outside the program.
#include <gtest/gtest.h>

#include <vector>

#include "components/tray/trayicon.h"
#include "tests/e2e/driver.h"

namespace {

using driver::Process;
using driver::Sandbox;

// The shell's notification reaches the program's hidden tray window; the
// program's other utility windows (timers) ignore it.
void NotifyTray(const Process& program, std::initializer_list<UINT> mouseMessages) {
    std::vector<HWND> windows;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window,
                                   "BriskJotUtility", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == program.Id()) windows.push_back(window);
    }
    ASSERT_FALSE(windows.empty());
    for (UINT m : mouseMessages)
        for (HWND w : windows) PostMessageA(w, TTrayIcon::kCallbackMessage, 0, m);
}

bool AtDefaultPlace(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return IsWindowVisible(window) && !IsZoomed(window) && r.left == 615 && r.top == 521 &&
           r.right - r.left == 409 && r.bottom - r.top == 219;
}

TEST(Tray, ClicksShowAndHideAndADoubleClickEndsAtTheDefaultPlace) {
    Sandbox sandbox;
    Process program(sandbox.Exe());
    HWND window = program.MainWindow();
    ASSERT_TRUE(window);
    EXPECT_TRUE(driver::WaitFor([&] { return AtDefaultPlace(window); }))
        << "a first start shows the window at its default place";

    NotifyTray(program, {WM_LBUTTONDOWN, WM_LBUTTONUP});
    EXPECT_TRUE(driver::WaitFor([&] { return !IsWindowVisible(window); }));
    NotifyTray(program, {WM_LBUTTONDOWN, WM_LBUTTONUP});
    EXPECT_TRUE(driver::WaitFor([&] { return IsWindowVisible(window) != FALSE; }));

    ShowWindow(window, SW_MAXIMIZE);
    ASSERT_TRUE(driver::WaitFor([&] { return IsZoomed(window) != FALSE; }));
    NotifyTray(program, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
    EXPECT_TRUE(driver::WaitFor([&] { return AtDefaultPlace(window); }));

    ShowWindow(window, SW_HIDE);
    NotifyTray(program, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
    EXPECT_TRUE(driver::WaitFor([&] { return AtDefaultPlace(window); }));
}

}  // namespace
