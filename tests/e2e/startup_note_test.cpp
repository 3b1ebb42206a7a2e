// BriskJot.exe from outside: one instance, no taskbar button, the end of a real process and a
// note it cannot open.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "tests/e2e/driver.h"

namespace {

using driver::Process;
using driver::Sandbox;

TEST(StartUp, OneInstanceWithoutATaskbarButtonThatSavesItsPlaceAtExit) {
    Sandbox sandbox;
    sandbox.WriteSettings("Left=100\r\nTop=100\r\nWidth=300\r\nHeight=200\r\n");
    Process first(sandbox.Exe());
    HWND window = first.MainWindow();
    ASSERT_TRUE(window);
    HWND application = first.FindTopLevel("TApplication");
    EXPECT_TRUE(GetWindowLongPtrA(application, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(IsWindowVisible(application));
    // An owned window never gets a taskbar button of its own.
    EXPECT_EQ(GetWindow(window, GW_OWNER), application);
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_EXSTYLE) & (WS_EX_APPWINDOW | WS_EX_TOPMOST),
              WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongPtrA(window, GWL_STYLE) & WS_MINIMIZEBOX);

    Sandbox other;  // a copy elsewhere counts as the same program
    Process second(other.Exe());
    EXPECT_EQ(second.WaitExit(), 0);
    EXPECT_TRUE(first.Running());

    // Shown once the settings are loaded and the window placed.
    ASSERT_TRUE(driver::WaitFor([&] { return IsWindowVisible(window) != FALSE; }));
    MoveWindow(window, 50, 60, 320, 210, TRUE);
    HWND find = CreateWindowExA(0, "STATIC", "Find", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    driver::Command(window, cmd::PopUpExit);
    // Answers this thread's messages meanwhile: a WM_CLOSE sent to our Find window would be
    // carried out rather than hold the program.
    driver::WaitFor([&] {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        return !first.Running();
    });
    EXPECT_EQ(first.WaitExit(0), 0);
    EXPECT_TRUE(IsWindow(find)) << "another program's Find window is left alone";
    DestroyWindow(find);
    std::string place;  // saved at exit
    for (const char* key : {"Left", "Top", "Width", "Height"}) {
        char text[32] = {};
        GetPrivateProfileStringA("Settings", key, "", text, sizeof text,
                                 sandbox.Path("BriskJot.ini").c_str());
        place += text + std::string(" ");
    }
    EXPECT_EQ(place, "50 60 320 210 ");
}

TEST(StartUp, ANoteLockedByAnotherProgramEndsTheStartQuietly) {
    Sandbox sandbox;
    driver::WriteFile(sandbox.Note(), "locked");
    HANDLE lock = CreateFileA(sandbox.Note().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Process program(sandbox.Exe());
    EXPECT_EQ(program.WaitExit(), 0);
    EXPECT_FALSE(program.FindTopLevel("#32770")) << "no message";
    CloseHandle(lock);
    EXPECT_EQ(driver::ReadFile(sandbox.Note()), "locked");
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
