// BriskJot.exe from outside: one instance, no taskbar button, the end of a real process, a
// note it cannot open and the Run value. Real keys reaching the file: changed_test.cpp.
#include <gtest/gtest.h>

#include <filesystem>

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
    // The wait answers this thread's messages: a WM_CLOSE sent to our Find window would be
    // carried out rather than hold the program.
    driver::WaitFor([&] { return !first.Running(); });
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
    // A message would hold the program until answered: look for one while it runs.
    bool message = false;
    driver::WaitFor([&] {
        message = message || program.FindTopLevel("#32770");
        return !program.Running();
    });
    EXPECT_FALSE(message);
    EXPECT_EQ(program.WaitExit(0), 0);
    CloseHandle(lock);
    EXPECT_EQ(driver::ReadFile(sandbox.Note()), "locked");
}

TEST(StartUp, StartWithWindowsNamesTheExeInProperCaseQuotedForItsBlank) {
    constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    // A folder of a fixed name, so the value is compared with a literal.
    const std::string parent = "C:\\bj e2e run\\", folder = parent + "pocket briskjot\\";
    CreateDirectoryA(parent.c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    Sandbox sandbox;  // holds the exe to copy
    ASSERT_TRUE(CopyFileA(sandbox.Exe().c_str(), (folder + "briskjot.exe").c_str(), FALSE));
    driver::WriteFile(folder + "BriskJot.ini", "[Settings]\r\nStart With Windows=0\r\n");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "BriskJot");
    std::string value;
    {
        Process program(folder + "briskjot.exe");
        HWND window = program.MainWindow();
        ASSERT_TRUE(window);
        driver::Command(window, cmd::PopUpStartWithWindows);
        driver::WaitFor([&] {
            char data[MAX_PATH] = {};
            DWORD size = sizeof data;
            value = RegGetValueA(HKEY_CURRENT_USER, kRunKey, "BriskJot", RRF_RT_REG_SZ, nullptr,
                                 data, &size) == ERROR_SUCCESS
                        ? data
                        : "";
            return !value.empty();
        });
    }
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "BriskJot");
    std::error_code ignored;
    std::filesystem::remove_all(parent, ignored);
    EXPECT_EQ(value, "\"C:\\Bj E2e Run\\Pocket BriskJot\\BriskJot.exe\"");
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
