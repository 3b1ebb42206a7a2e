// The settings file, the Run value and the Find dialog at exit, from outside the program.
#include <gtest/gtest.h>

#include <string>

#include "app/commands.h"
#include "tests/e2e/driver.h"

namespace {

using driver::Process;
using driver::Sandbox;

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "BriskJot";
constexpr char kMissing[] = "<missing>";

std::string IniValue(const std::string& iniPath, const char* key) {
    char text[256] = {};
    GetPrivateProfileStringA("Settings", key, kMissing, text, sizeof text, iniPath.c_str());
    return text;
}

std::string ReadRunValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return kMissing;
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    const LONG status =
        RegQueryValueExA(key, kRunValue, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::string(data) : kMissing;
}

void SetRunValue(const std::string* data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    if (data) {
        RegSetValueExA(key, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(data->c_str()),
                       static_cast<DWORD>(data->size() + 1));
    } else {
        RegDeleteValueA(key, kRunValue);
    }
    RegCloseKey(key);
}

// Waits for the program to end while this thread answers its messages, so that a WM_CLOSE
// sent to one of our windows would be carried out rather than block the program.
int WaitExitPumping(const Process& program) {
    driver::WaitFor([&] {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        return !program.Running();
    });
    return program.WaitExit(0);
}

TEST(SettingsFile, FirstRunWritesTheFileAndExitLeavesAnotherProgramsFindWindow) {
    SetRunValue(nullptr);
    Sandbox sandbox;
    const std::string ini = sandbox.Path("BriskJot.ini");
    Process program(sandbox.Exe());
    HWND window = program.MainWindow();
    ASSERT_TRUE(window);
    // The window is found before the settings are loaded; the last repair written marks the end.
    ASSERT_TRUE(driver::WaitFor([&] { return IniValue(ini, "Warning On ClearMemo") != kMissing; }));
    ASSERT_TRUE(driver::WaitFor([&] { return IsWindowVisible(window) != FALSE; }));

    const struct {
        const char* key;
        const char* value;
    } rows[] = {
        {"AutoSave Memo", "0"},
        {"Height", "219"},
        {"Left", "615"},
        {"Show On StartUp", "1"},
        {"Start With Windows", "1"},
        {"Top", "521"},
        {"Warning On Clear Clipboard", "1"},
        {"Warning On ClearMemo", "1"},
        {"Width", "409"},
    };
    for (const auto& row : rows) EXPECT_EQ(IniValue(ini, row.key), row.value) << row.key;
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 615);
    EXPECT_EQ(r.top, 521);
    EXPECT_EQ(ReadRunValue(), kMissing) << "a first run registers nothing";

    // Another program's window that happens to be titled like the Find dialog.
    HWND find = CreateWindowExA(0, "STATIC", "Find", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_TRUE(find);
    driver::Command(window, cmd::PopUpExit);
    EXPECT_EQ(WaitExitPumping(program), 0);
    EXPECT_TRUE(IsWindow(find));
    DestroyWindow(find);
    EXPECT_EQ(IniValue(ini, "Left"), "615") << "saved again at exit";
}

// CharLowerBuffA / CharUpperBuffA as the program applies them to a path without the product
// name in its folders: capitals at the start and after each backslash or blank.
std::string CapitalisedFolders(std::string path) {
    CharLowerBuffA(path.data(), static_cast<DWORD>(path.size()));
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (i == 0 || path[i - 1] == '\\' || path[i - 1] == ' ') CharUpperBuffA(&path[i], 1);
    }
    return path;
}

TEST(SettingsFile, ARunValueFromElsewhereNamesTheNewPlaceInQuotes) {
    Sandbox sandbox;
    const std::string folder = sandbox.Path("My Notes\\");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string exe = folder + "BriskJot.exe";
    const std::string ini = folder + "BriskJot.ini";
    ASSERT_TRUE(CopyFileA(sandbox.Exe().c_str(), exe.c_str(), FALSE));
    driver::WriteFile(ini,
                      "[Settings]\r\nAutoSave Memo=0\r\nHeight=200\r\nLeft=100\r\n"
                      "Show On StartUp=1\r\nStart With Windows=0\r\nTop=100\r\n"
                      "Warning On Clear Clipboard=1\r\nWarning On ClearMemo=1\r\nWidth=300\r\n");
    const std::string old = "C:\\Old Place\\briskjot.exe";
    SetRunValue(&old);
    {
        Process program(exe);
        HWND window = program.MainWindow();
        ASSERT_TRUE(window);
        const std::string expected =
            '"' + CapitalisedFolders(sandbox.Folder()) + "My Notes\\BriskJot.exe\"";
        EXPECT_TRUE(driver::WaitFor([&] { return ReadRunValue() == expected; }))
            << ReadRunValue() << " instead of " << expected;
        EXPECT_EQ(IniValue(ini, "Start With Windows"), "0") << "the file keeps its own choice";
        driver::Command(window, cmd::PopUpExit);
        EXPECT_EQ(WaitExitPumping(program), 0);
    }
    SetRunValue(nullptr);
    for (const std::string& file : {exe, ini, folder + "BriskJot.txt"}) DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
