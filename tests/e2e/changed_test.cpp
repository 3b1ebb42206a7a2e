// The note rewritten by another program while BriskJot runs: reloaded when nothing is unsaved,
// otherwise kept beside the note as a copy before BriskJot saves its own text.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "app/commands.h"
#include "tests/e2e/driver.h"

namespace {

using driver::Process;
using driver::ReadFile;
using driver::Sandbox;
using driver::WaitFor;
using driver::WindowText;

// Waits without opening the note: a reader holding it would refuse the save its replace.
bool WaitForSize(const std::string& path, size_t size, int timeoutMs = 5000) {
    return WaitFor(
        [&] {
            WIN32_FILE_ATTRIBUTE_DATA data;
            return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
                   data.nFileSizeLow == size;
        },
        timeoutMs);
}

std::vector<std::string> Copies(const Sandbox& sandbox) {
    return testfiles::FilesIn(sandbox.Folder(), testfiles::kChangedElsewhereCopies);
}

// Puts bytes in place of the note in one step, stamped with the given write time as a file
// system with coarse times or a clock out of step would: no one sees a half-written state.
void ReplaceStamped(const std::string& note, const std::string& bytes, const FILETIME& time) {
    const std::string incoming = note + ".incoming";
    HANDLE file =
        CreateFileA(incoming.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD wrote = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
    // Tried again as a sync client would: BriskJot may be reading the note just then.
    EXPECT_TRUE(WaitFor([&] {
        return MoveFileExA(incoming.c_str(), note.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    }));
}

TEST(ChangedElsewhere, NothingUnsavedReloadsTheMemoKeepingTheCaret) {
    // A time on a 2 s step ahead of the clock, as coarse file times or a clock out of step give:
    // the first new version has the size and time of the old one, only its content tells.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER stamp{{now.dwLowDateTime, now.dwHighDateTime}};
    stamp.QuadPart = (stamp.QuadPart / 20'000'000 + 5) * 20'000'000;
    const FILETIME time{stamp.LowPart, stamp.HighPart};
    Sandbox sandbox;
    ReplaceStamped(sandbox.Note(), "first version\r\n", time);
    Process program(sandbox.Exe());
    ASSERT_TRUE(program.MainWindow());
    HWND memo = program.Memo();
    // Started: the note read, and the settings file a first run writes is there.
    ASSERT_TRUE(WaitFor([&] {
        return WindowText(memo) == "first version\r\n" &&
               GetFileAttributesA(sandbox.Path("BriskJot.ini").c_str()) != INVALID_FILE_ATTRIBUTES;
    }));
    SendMessageA(memo, EM_SETSEL, 6, 6);
    const std::vector<std::string> before = testfiles::FilesIn(sandbox.Folder());

    const std::string theirs = "other version\r\n";
    ReplaceStamped(sandbox.Note(), theirs, time);
    EXPECT_TRUE(WaitFor([&] { return WindowText(memo) == theirs; }, 1000)) << WindowText(memo);
    EXPECT_EQ(LOWORD(SendMessageA(memo, EM_GETSEL, 0, 0)), 6) << "the caret stays";
    EXPECT_EQ(ReadFile(sandbox.Note()), theirs);
    EXPECT_EQ(testfiles::FilesIn(sandbox.Folder()), before) << "no file added";
    EXPECT_FALSE(program.FindTopLevel("#32770")) << "nothing asked";

    // A writer that keeps the note to itself a while after writing: read once it lets go.
    const std::string later = "a third, longer version\r\n";
    HANDLE writer =
        CreateFileA(sandbox.Note().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD wrote = 0;
    ::WriteFile(writer, later.data(), static_cast<DWORD>(later.size()), &wrote, nullptr);
    Sleep(500);  // the writer's own time with the file, not a wait for BriskJot
    CloseHandle(writer);
    EXPECT_TRUE(WaitFor([&] { return WindowText(memo) == later; }, 3000)) << WindowText(memo);
}

TEST(ChangedElsewhere, UnsavedTextKeepsTheOtherVersionBesideTheNoteByteForByte) {
    // Raw line breaks and a byte the memo would not keep: the copy is the file, not the memo.
    const std::string theirs = "their text\nwith\rodd breaks\x01\xff";
    for (const bool autoSave : {false, true}) {
        SCOPED_TRACE(autoSave ? "AutoSave on" : "AutoSave off");
        Sandbox sandbox;
        sandbox.WriteSettings(autoSave ? testfiles::kAutoSaveOn : "");
        driver::WriteFile(sandbox.Note(), "mine\r\n");
        Process program(sandbox.Exe());
        HWND window = program.MainWindow();
        ASSERT_TRUE(window);
        HWND memo = program.Memo();
        ASSERT_TRUE(WaitFor([&] { return WindowText(memo) == "mine\r\n"; }));  // read
        if (autoSave) {
            // AutoSave leaves text unsaved only when its save is refused: the other program
            // holds the note while it writes its version.
            HANDLE held = CreateFileA(sandbox.Note().c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
            PostMessageA(memo, WM_CHAR, 'x', 0);
            EXPECT_TRUE(driver::AnswerBox(program, testfiles::kErrorOnSave, IDOK));
            char before[16] = {};
            DWORD wrote = 0;
            ::ReadFile(held, before, sizeof before, &wrote, nullptr);
            EXPECT_STREQ(before, "mine\r\n") << "the refused save changed nothing";
            SetFilePointer(held, 0, nullptr, FILE_BEGIN);
            ::WriteFile(held, theirs.data(), static_cast<DWORD>(theirs.size()), &wrote, nullptr);
            SetEndOfFile(held);
            CloseHandle(held);
            PostMessageA(memo, WM_CHAR, 'y', 0);
        } else {
            PostMessageA(memo, WM_CHAR, 'x', 0);
            ASSERT_TRUE(WaitFor([&] { return WindowText(memo) == "xmine\r\n"; }));
            driver::WriteFile(sandbox.Note(), theirs);
            // Seen or not by now, the save below must keep it.
            driver::Command(window, cmd::MenuSave);
        }
        const std::string memoText = autoSave ? "xymine\r\n" : "xmine\r\n";
        ASSERT_TRUE(WaitForSize(sandbox.Note(), memoText.size()));
        EXPECT_EQ(ReadFile(sandbox.Note()), memoText);
        EXPECT_EQ(WindowText(memo), memoText);
        const std::vector<std::string> copies = Copies(sandbox);
        ASSERT_EQ(copies.size(), 1u);
        EXPECT_TRUE(std::regex_match(
            copies[0],
            std::regex(R"(BriskJot \(changed elsewhere \d{4}-\d\d-\d\d \d\d-\d\d-\d\d\)\.txt)")))
            << copies[0];
        EXPECT_EQ(ReadFile(sandbox.Path(copies[0])), theirs);
    }
}

TEST(ChangedElsewhere, EveryRealKeyAutoSavedIsNoChangeFromElsewhereAndADeletedNoteIsWrittenAgain) {
    Sandbox sandbox;
    sandbox.WriteSettings(testfiles::kAutoSaveOn);
    Process program(sandbox.Exe());
    HWND window = program.MainWindow();
    ASSERT_TRUE(window);
    HWND memo = program.Memo();
    // Real keys, through the memo's own key handling: the first one saved by itself.
    std::string typed = "a";
    driver::TypeKeys(window, typed);
    ASSERT_TRUE(WaitForSize(sandbox.Note(), 1));
    for (int i = 1; i < 100; ++i) typed += static_cast<char>('a' + i % 26);
    driver::TypeKeys(window, typed.substr(1));
    ASSERT_TRUE(WaitForSize(sandbox.Note(), 100, 30000));
    EXPECT_EQ(WindowText(memo), typed);
    EXPECT_EQ(ReadFile(sandbox.Note()), WindowText(memo));
    EXPECT_TRUE(Copies(sandbox).empty());

    ASSERT_TRUE(DeleteFileA(sandbox.Note().c_str()));
    PostMessageA(memo, WM_CHAR, '!', 0);
    ASSERT_TRUE(WaitForSize(sandbox.Note(), 101));
    EXPECT_EQ(ReadFile(sandbox.Note()), WindowText(memo));
    EXPECT_TRUE(Copies(sandbox).empty());
    EXPECT_FALSE(program.FindTopLevel("#32770"));
}

}  // namespace
