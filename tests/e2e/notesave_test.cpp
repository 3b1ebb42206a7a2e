// Saving BriskJot.exe's note where it is easy to lose: a save that fails up to the exit, a note
// that did not load whole, a note that is a symbolic link.
#include <gtest/gtest.h>

#include <string>

#include "app/commands.h"
#include "tests/e2e/driver.h"

namespace {

using driver::AnswerBox;
using driver::Process;
using driver::ReadFile;
using driver::Sandbox;
using driver::WaitFor;

using testfiles::kAutoSaveOn;
using testfiles::kErrorOnSave;
constexpr char kSaveOnExit[] = "BriskJot - Save On Exit?";

TEST(NoteSave, TextAFailedSaveLeftIsAskedForAtExitAndAFailedSaveThereKeepsTheProgram) {
    Sandbox sandbox;
    sandbox.WriteSettings(kAutoSaveOn);
    driver::WriteFile(sandbox.Note(), "kept");
    Process program(sandbox.Exe());
    HWND window = program.MainWindow();
    // Changes count once the window has been active.
    ASSERT_TRUE(WaitFor([&] { return window && GetForegroundWindow() == window; }));
    HANDLE lock = CreateFileA(sandbox.Note().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    PostMessageA(program.Memo(), WM_CHAR, '1', 0);
    ASSERT_TRUE(AnswerBox(program, kErrorOnSave, IDOK)) << "AutoSave failed";
    driver::Command(window, cmd::MenuHide);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(window); }));

    driver::Command(window, cmd::PopUpExit);
    ASSERT_TRUE(AnswerBox(program, kSaveOnExit, IDYES)) << "the unsaved letter is asked for";
    ASSERT_TRUE(AnswerBox(program, kErrorOnSave, IDOK)) << "the note is still held";
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window) != FALSE; }))
        << "the exit is called off, the text in sight";
    EXPECT_EQ(driver::WindowText(program.Memo()), "1kept");
    CloseHandle(lock);
    EXPECT_EQ(ReadFile(sandbox.Note()), "kept");

    driver::Command(window, cmd::PopUpExit);
    ASSERT_TRUE(AnswerBox(program, kSaveOnExit, IDYES)) << "the next Exit asks again";
    EXPECT_EQ(program.WaitExit(), 0);
    EXPECT_EQ(ReadFile(sandbox.Note()), "1kept");
}

TEST(NoteSave, ANoteCutAtANulIsKeptAsItWasBeforeTheFirstSave) {
    Sandbox sandbox;
    sandbox.WriteSettings(kAutoSaveOn);
    const std::string original("head\0tail\xFF\xFE\r\n", 13), backup = sandbox.Note() + ".bak";
    driver::WriteFile(sandbox.Note(), original);
    driver::WriteFile(backup, "an older copy");
    SetFileAttributesA(backup.c_str(), FILE_ATTRIBUTE_READONLY);
    Process program(sandbox.Exe());
    ASSERT_TRUE(program.MainWindow());
    ASSERT_EQ(driver::WindowText(program.Memo()), "head");
    PostMessageA(program.Memo(), WM_CHAR, 'X', 0);
    EXPECT_TRUE(WaitFor([&] { return ReadFile(sandbox.Note()) == "Xhead"; }));
    EXPECT_EQ(ReadFile(backup), original);
    PostMessageA(program.Memo(), WM_CHAR, 'Y', 0);
    EXPECT_TRUE(WaitFor([&] { return ReadFile(sandbox.Note()) == "XYhead"; }));
    EXPECT_EQ(ReadFile(backup), original) << "the copy is taken once, of the note as it was";
}

TEST(NoteSave, ANoteThatIsASymbolicLinkStaysOneAndItsTargetTakesTheText) {
    Sandbox sandbox;
    sandbox.WriteSettings(kAutoSaveOn);
    const std::string folder = sandbox.Path("synced\\"), target = folder + "note.txt";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    driver::WriteFile(target, "old");
    // Wine 8 reports success for CreateSymbolicLinkA but makes nothing; it follows Unix links.
    CreateSymbolicLinkA(sandbox.Note().c_str(), target.c_str(),
                        SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    if (ReadFile(sandbox.Note()) != "old")
        driver::RunUnix("/bin/ln",
                        {"-s", driver::UnixPath(target), driver::UnixPath(sandbox.Note())});
    ASSERT_TRUE(WaitFor([&] { return ReadFile(sandbox.Note()) == "old"; })) << "no link made";
    Process program(sandbox.Exe());
    ASSERT_TRUE(program.MainWindow());
    PostMessageA(program.Memo(), WM_CHAR, 'n', 0);
    // A link replaced by a plain file would leave the target as it was.
    EXPECT_TRUE(WaitFor([&] { return ReadFile(target) == "nold"; })) << ReadFile(target);
    EXPECT_EQ(ReadFile(target + ".tmp"), "<missing>");
}

}  // namespace
