// BriskJot.exe from outside: one instance, no taskbar button, the note file
// beside the exe, AutoSave on real keys, the question at exit.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "tests/e2e/driver.h"

namespace {

using driver::Process;
using driver::Sandbox;

constexpr char kAutoSaveOn[] = "AutoSave Memo=1\r\n";

TEST(StartUp, ASecondStartEndsAtOnceAndLeavesTheFirstAlone) {
    Sandbox sandbox;
    Process first(sandbox.Exe());
    HWND window = first.MainWindow();
    ASSERT_TRUE(window);

    Sandbox other;  // a copy elsewhere counts as the same program
    Process second(other.Exe());
    EXPECT_EQ(second.WaitExit(), 0);
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(second.FindTopLevel("BriskJotForm"));
}

TEST(StartUp, NoTaskbarButtonAtAnyTime) {
    Sandbox sandbox;
    Process program(sandbox.Exe());
    HWND window = program.MainWindow();
    ASSERT_TRUE(window);
    HWND application = program.FindTopLevel("TApplication");
    ASSERT_TRUE(application);
    EXPECT_TRUE(GetWindowLongPtrA(application, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(IsWindowVisible(application));
    // An owned window never gets a taskbar button of its own.
    EXPECT_EQ(GetWindow(window, GW_OWNER), application);
    EXPECT_FALSE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongPtrA(window, GWL_STYLE) & WS_MINIMIZEBOX);
}

TEST(NoteFile, OddLineBreaksLoadAndAreSavedBackWithCrLf) {
    Sandbox sandbox;
    sandbox.WriteSettings(kAutoSaveOn);
    driver::WriteFile(sandbox.Path("BriskJot.txt"), "one\ntwo\rthree");
    Process program(sandbox.Exe());
    ASSERT_TRUE(driver::Activate(program.MainWindow()));
    EXPECT_EQ(driver::WindowText(program.Memo()), "one\r\ntwo\r\nthree");
    EXPECT_EQ(driver::ReadFile(sandbox.Path("BriskJot.txt")), "one\ntwo\rthree") << "loading writes nothing";

    PostMessageA(program.Memo(), WM_CHAR, '>', 0);  // AutoSave writes the change
    EXPECT_TRUE(driver::WaitFor(
        [&] { return driver::ReadFile(sandbox.Path("BriskJot.txt")) == ">one\r\ntwo\r\nthree"; }))
        << driver::ReadFile(sandbox.Path("BriskJot.txt"));
}

TEST(NoteFile, AReadOnlyHiddenNoteLoadsAndIsWritableAfterwards) {
    Sandbox sandbox;
    sandbox.WriteSettings(kAutoSaveOn);
    const std::string note = sandbox.Path("BriskJot.txt");
    driver::WriteFile(note, "protected");
    SetFileAttributesA(note.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    Process program(sandbox.Exe());
    ASSERT_TRUE(driver::Activate(program.MainWindow()));
    EXPECT_EQ(driver::WindowText(program.Memo()), "protected");
    EXPECT_EQ(GetFileAttributesA(note.c_str()), DWORD(FILE_ATTRIBUTE_ARCHIVE));
    PostMessageA(program.Memo(), WM_CHAR, '!', 0);
    EXPECT_TRUE(driver::WaitFor([&] { return driver::ReadFile(note) == "!protected"; }));
}

TEST(NoteFile, AutoSaveWritesEveryRealKeystroke) {
    Sandbox sandbox;
    sandbox.WriteSettings(kAutoSaveOn);
    const std::string note = sandbox.Path("BriskJot.txt");
    Process program(sandbox.Exe());
    HWND window = program.MainWindow();
    ASSERT_TRUE(window);
    std::string expected;
    for (const char c : std::string("Hi there")) {
        driver::TypeKeys(window, std::string(1, c));
        expected += c;
        EXPECT_TRUE(driver::WaitFor([&] { return driver::ReadFile(note) == expected; }))
            << "after '" << c << "': " << driver::ReadFile(note);
    }
    EXPECT_EQ(driver::WindowText(program.Memo()), expected);
}

TEST(NoteFile, ExitWithUnsavedTextAsksAndSavesOnYesOnly) {
    for (const int answer : {IDYES, IDNO}) {
        Sandbox sandbox;
        const std::string note = sandbox.Path("BriskJot.txt");
        driver::WriteFile(note, "on disk");
        Process program(sandbox.Exe());
        HWND window = program.MainWindow();
        ASSERT_TRUE(driver::Activate(window));
        // A first run: AutoSave is off.
        PostMessageA(program.Memo(), WM_CHAR, '+', 0);
        ASSERT_TRUE(driver::WaitFor([&] { return driver::WindowText(program.Memo()) == "+on disk"; }));
        Sleep(100);
        EXPECT_EQ(driver::ReadFile(note), "on disk");

        driver::Command(window, cmd::PopUpExit);
        std::string text;
        ASSERT_TRUE(driver::AnswerBox(program, "BriskJot - Save On Exit?", answer, &text));
        EXPECT_EQ(program.WaitExit(), 0);
        EXPECT_EQ(driver::ReadFile(note), answer == IDYES ? "+on disk" : "on disk");
    }
}

TEST(NoteFile, ANoteLockedByAnotherProgramEndsTheStartQuietly) {
    Sandbox sandbox;
    const std::string note = sandbox.Path("BriskJot.txt");
    driver::WriteFile(note, "locked");
    HANDLE lock = CreateFileA(note.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Process program(sandbox.Exe());
    EXPECT_EQ(program.WaitExit(), 0);
    EXPECT_FALSE(program.FindTopLevel("#32770")) << "no message";
    CloseHandle(lock);
    EXPECT_EQ(driver::ReadFile(note), "locked");
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
