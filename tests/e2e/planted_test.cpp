// A library planted beside BriskJot.exe (a downloads folder, a shared stick) must never run.
// Windows looks in the program's folder first for any library that is not one of its known
// ones; Wine does so for a name whose override puts the native copy first. Wine's own user32
// imports version.dll, so there the planted copy is loaded whatever the program does: what is
// checked is that the program never calls into it.
#include <gtest/gtest.h>

#include <string>

#include "app/commands.h"
#include "tests/e2e/driver.h"

namespace {

using driver::Process;
using driver::Sandbox;

constexpr char kOverrides[] = "Software\\Wine\\AppDefaults\\BriskJot.exe\\DllOverrides";

// Set for the test's length: the prefix serves the other tests too.
class NativeFirst {
public:
    explicit NativeFirst(const char* library) : library_(library) {
        constexpr char kOrder[] = "native,builtin";
        ok_ = RegSetKeyValueA(HKEY_CURRENT_USER, kOverrides, library, REG_SZ, kOrder,
                              sizeof kOrder) == ERROR_SUCCESS;
    }
    ~NativeFirst() { RegDeleteKeyValueA(HKEY_CURRENT_USER, kOverrides, library_); }
    bool ok() const { return ok_; }

private:
    const char* library_;
    bool ok_ = false;
};

std::string BesideThisProgram(const std::string& name) {
    char self[MAX_PATH];
    const std::string path(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
    return path.substr(0, path.find_last_of('\\') + 1) + name;
}

// The about box's version line, once the box is made.
std::string VersionLine(const Process& program) {
    HWND about = program.FindTopLevel("BriskJotForm", "About BriskJot");
    if (!about) return "";
    for (HWND label = nullptr; (label = FindWindowExA(about, label, "Static", nullptr));) {
        const std::string text = driver::WindowText(label);
        if (text.rfind("Version: ", 0) == 0) return text;
    }
    return "";
}

TEST(StartUp, AVersionLibraryPlantedBesideTheExeNeverRuns) {
    Sandbox sandbox;
    ASSERT_TRUE(CopyFileA(BesideThisProgram("planted_version.dll").c_str(),
                          sandbox.Path("version.dll").c_str(), FALSE));
    const NativeFirst override("version");
    ASSERT_TRUE(override.ok());
    Process program(sandbox.Exe());
    HWND window = program.MainWindow();
    ASSERT_TRUE(window);
    // The version is read from the system's library, at start.
    driver::Command(window, cmd::PopUpAbout);
    EXPECT_TRUE(driver::WaitFor([&] {
        return VersionLine(program) == "Version: " BJ_PRODUCT_VERSION;
    })) << VersionLine(program);
    EXPECT_EQ(GetFileAttributesA(sandbox.Path("planted.mark").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
