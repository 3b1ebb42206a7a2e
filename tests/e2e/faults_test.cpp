// BriskJot.exe under things going wrong around it: killed in the middle of a save, files and
// folders it cannot write, a clipboard it cannot open, damaged data in its own exe, a damaged
// settings file and a full disk. Whatever happens, the note on disk stays whole.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/commands.h"
#include "tests/e2e/driver.h"

namespace {

using driver::Process;
using driver::ReadFile;
using driver::Sandbox;
using driver::WaitFor;
using driver::WindowText;
using testfiles::SetClipboardText;

using testfiles::kAutoSaveOn;
using testfiles::kErrorOnSave;

std::string Env(const char* name) {
    char text[MAX_PATH] = "";
    return GetEnvironmentVariableA(name, text, sizeof text) < sizeof text ? text : "";
}

// Lines with CR LF breaks, so the memo keeps the bytes exactly.
std::string LongNote(size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    std::string note;
    while (note.size() < bytes)
        note += std::string(20 + random() % 60, 'a' + random() % 26) + "\r\n";
    return note;
}

TEST(Faults, KilledWhileAutoSavingLeavesAWholeNote) {
    // Each round loads this note anew, which takes seconds under Wine: CI asks for 25 kills
    // (BJ_FAULT_KILLS), scripts/faults.sh for 100.
    const std::string kills = Env("BJ_FAULT_KILLS"), seedText = Env("BJ_FAULT_SEED");
    const unsigned seed = seedText.empty() ? GetTickCount() & 0xFFFF : std::atoi(seedText.c_str());
    SCOPED_TRACE("BJ_FAULT_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    Sandbox sandbox;
    sandbox.WriteSettings(kAutoSaveOn);
    driver::WriteFile(sandbox.Note(), LongNote(1 << 20, seed));
    // A kill inside the replace leaves the text in the temporary file only, for the next start.
    auto noteForNextStart = [&] {
        const std::string note = ReadFile(sandbox.Note());
        return note != "<missing>" ? note : ReadFile(sandbox.Note() + ".tmp");
    };
    int killedAfterSaves = 0;
    for (int round = 0; round < (kills.empty() ? 3 : std::atoi(kills.c_str())); ++round) {
        const std::string old = noteForNextStart();
        const std::string typed = std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ").substr(round % 14, 12);
        {
            Process program(sandbox.Exe());
            ASSERT_TRUE(program.MainWindow(60000)) << "round " << round;
            for (const char c : typed) PostMessageA(program.Memo(), WM_CHAR, c, 0);
            // The twelve saves take a few hundred milliseconds here: rounds take turns at early,
            // middle and late kills among them, before the first save, between two or inside one.
            Sleep(static_cast<DWORD>(round % 3 * 100 + random() % 100));
        }  // ~Process ends it at once, whatever it is doing.
        // Whole: the old text behind a prefix of what was typed.
        const std::string onDisk = noteForNextStart();
        const size_t added = onDisk.size() - old.size();
        ASSERT_TRUE(onDisk.size() >= old.size() && added <= typed.size() &&
                    onDisk == typed.substr(0, added) + old)
            << "round " << round << ": " << onDisk.size() << " bytes, old note " << old.size();
        killedAfterSaves += onDisk != old;
    }
    // Some kills must land after saves, or the rounds prove nothing about replacing the file.
    EXPECT_GT(killedAfterSaves, 0);
}

// Wine ignores the read-only attribute of a folder but honours the Unix mode bits: chmod does
// what the attribute does on Windows.
void MakeFolderReadOnly(const std::string& folder, bool readOnly) {
    driver::RunUnix("/bin/chmod", {readOnly ? "a-w" : "u+w", driver::UnixPath(folder)});
}

bool CanCreateIn(const std::string& folder) {
    const std::string probe = folder + "probe";
    DeleteFileA(probe.c_str());  // made just before the folder turned read-only
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    CloseHandle(file);
    return file != INVALID_HANDLE_VALUE && DeleteFileA(probe.c_str());
}

// A note held open by another program: notesave_test.cpp and changed_test.cpp.
TEST(Faults, AFolderTurnedReadOnlyShowsTheErrorAndLosesNothing) {
    Sandbox sandbox;
    sandbox.WriteSettings(kAutoSaveOn);
    driver::WriteFile(sandbox.Note(), "kept");
    Process program(sandbox.Exe());
    ASSERT_TRUE(program.MainWindow());
    HWND memo = program.Memo();
    const std::string folder = sandbox.Folder().substr(0, sandbox.Folder().size() - 1);
    MakeFolderReadOnly(folder, true);
    if (!WaitFor([&] { return !CanCreateIn(sandbox.Folder()); })) {
        MakeFolderReadOnly(folder, false);
        GTEST_SKIP() << "this system does not enforce a read-only folder (running as root?)";
    }
    PostMessageA(memo, WM_CHAR, '+', 0);
    const bool boxShown = driver::AnswerBox(program, kErrorOnSave, IDOK);
    // Writable again, or the sandbox could not be cleaned up.
    ASSERT_TRUE(WaitFor([&] {
        MakeFolderReadOnly(folder, false);
        return CanCreateIn(sandbox.Folder());
    }));
    EXPECT_TRUE(boxShown);
    EXPECT_EQ(ReadFile(sandbox.Note()), "kept");
    // A later keystroke saves the whole text. Under Wine the first save right after the change
    // may still be refused; then the box comes again.
    bool saved = false;
    for (int attempt = 0; attempt < 3 && !saved; ++attempt) {
        PostMessageA(memo, WM_CHAR, '-', 0);
        saved = WaitFor([&] { return ReadFile(sandbox.Note()) == WindowText(memo); }, 2000);
        if (!saved) driver::AnswerBox(program, kErrorOnSave, IDOK);
    }
    EXPECT_TRUE(saved);
    EXPECT_EQ(ReadFile(sandbox.Note()).substr(0, 2), "+-") << "nothing typed was lost";
}

TEST(Faults, ClearClipboardWhileAnotherProgramHoldsItEndsSilently) {
    HWND owner =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetClipboardText(owner, nullptr);
    Sandbox sandbox;
    sandbox.WriteSettings("Warning On Clear Clipboard=0\r\n");
    Process program(sandbox.Exe());
    HWND window = program.MainWindow();
    ASSERT_TRUE(window);
    // The bar as drawn with Clear Clipboard greyed: unchanged over a few of the program's
    // 100 ms ticks.
    std::vector<DWORD> greyed, previous;
    ASSERT_TRUE(WaitFor([&] {
        previous = std::exchange(greyed, driver::DrawnMenuBar(window));
        Sleep(150);
        return !greyed.empty() && greyed == previous;
    }));
    // Other programs see what is put on the clipboard once it is closed: the command is
    // offered, and drawn so, when the program's timer has seen it.
    SetClipboardText(owner, "kept");
    ASSERT_TRUE(WaitFor([&] {
        const auto drawn = driver::DrawnMenuBar(window);
        return !drawn.empty() && drawn != greyed;
    }));
    ASSERT_TRUE(OpenClipboard(owner));  // held from here on
    HWND viewer = CreateWindowExA(0, "STATIC", "Clipboard Viewer", WS_POPUP, 0, 0, 1, 1, nullptr,
                                  nullptr, nullptr, nullptr);
    // Sent: it returns once the command has run, and meanwhile this thread answers what is sent
    // to it, so a viewer closed by mistake would be gone.
    auto clear = [&] {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(window, WM_COMMAND, cmd::PopUpClearClipboard, 0, SMTO_NORMAL,
                                   10000, &result) != 0;
    };
    EXPECT_TRUE(clear());
    EXPECT_FALSE(program.FindTopLevel("#32770")) << "no message of any kind";
    EXPECT_TRUE(IsWindow(viewer)) << "viewers are left alone";
    DestroyWindow(viewer);
    CloseClipboard();
    DestroyWindow(owner);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT)) << "the held clipboard was not emptied";
    // Once free, the same command empties it at the first try, and the bar shows it greyed.
    EXPECT_TRUE(clear());
    EXPECT_TRUE(WaitFor([] { return CountClipboardFormats() == 0; }, 1000));
    EXPECT_TRUE(WaitFor([&] { return driver::DrawnMenuBar(window) == greyed; }));
}

TEST(Faults, DamagedDataInTheExeStillStartsAndServesHelpRequests) {
    // Offsets from the magic: the format byte, and the compressed help file.
    for (const size_t offset : {4, 4000}) {
        SCOPED_TRACE(offset);
        Sandbox sandbox;
        std::string exe = ReadFile(sandbox.Exe());
        const size_t at = exe.find("BJPD\x01");
        ASSERT_NE(at, std::string::npos);
        ASSERT_LT(at + offset + 64, exe.size());
        for (size_t i = 0; i < 64; ++i) exe[at + offset + i] ^= 0x5A;
        driver::WriteFile(sandbox.Exe(), exe);
        Process program(sandbox.Exe());
        HWND window = program.MainWindow(10000);
        ASSERT_TRUE(window) << "the program starts";
        // Sent, so it returns once the request has been served.
        DWORD_PTR result = 0;
        EXPECT_TRUE(SendMessageTimeoutA(window, WM_COMMAND, cmd::MenuHelpTopics, 0, SMTO_BLOCK,
                                        10000, &result))
            << "the program answers after a help request";
        EXPECT_EQ(ReadFile(sandbox.Path("BriskJot.chm")), "<missing>")
            << "no damaged help file is left behind";
        PostMessageA(program.Memo(), WM_CHAR, 'z', 0);
        EXPECT_TRUE(WaitFor([&] { return WindowText(program.Memo()) == "z"; }));
    }
}

TEST(Faults, EveryKeyOfTheSettingsDamagedStartsAndPlacesTheWindow) {
    Sandbox sandbox;
    sandbox.WriteSettings(
        "AutoSave Memo=7\r\nHeight=$zz\r\nLeft=99999999999\r\nShow On StartUp=-3\r\n"
        "Start With Windows=2\r\nTop=-2147483648\r\nWarning On Clear Clipboard=0x\r\n"
        "Warning On ClearMemo=65537\r\nWidth=\x01\x7f\r\n");
    Process program(sandbox.Exe());
    HWND window = program.MainWindow(10000);
    ASSERT_TRUE(window);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(window) != FALSE; }));
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ((std::array<LONG, 4>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
              (std::array<LONG, 4>{615, 521, 409, 219}));
    // The window still works: a save by command lands on disk.
    PostMessageA(program.Memo(), WM_CHAR, 'k', 0);
    ASSERT_TRUE(WaitFor([&] { return WindowText(program.Memo()) == "k"; }));
    driver::Command(window, cmd::MenuSave);
    EXPECT_TRUE(WaitFor([&] { return ReadFile(sandbox.Note()) == "k"; }));
}

// Needs a small filesystem made by root: scripts/faults.sh mounts one and names it in
// BJ_FULL_DISK (a Unix path, reached through drive Z:).
TEST(Faults, ASaveThatDoesNotFitShowsTheErrorAndKeepsTheOldNote) {
    std::string folder = Env("BJ_FULL_DISK");
    if (folder.empty()) GTEST_SKIP() << "no small filesystem: run scripts/faults.sh as root";
    for (char& c : folder)
        if (c == '/') c = '\\';
    folder = "Z:" + folder + "\\run-" + std::to_string(GetCurrentProcessId()) + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    Sandbox source;  // holds the exe to copy
    ASSERT_TRUE(CopyFileA(source.Exe().c_str(), (folder + "BriskJot.exe").c_str(), FALSE));
    driver::WriteFile(folder + "BriskJot.ini", std::string("[Settings]\r\n") + kAutoSaveOn);
    const std::string old = LongNote(200 << 10, 7), note = folder + "BriskJot.txt";
    driver::WriteFile(note, old);
    // Room for about half a note more: the new copy cannot be written.
    ULARGE_INTEGER available{};
    GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr);
    if (available.QuadPart > old.size() / 2)
        driver::WriteFile(folder + "filler", std::string(available.QuadPart - old.size() / 2, 'f'));
    GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr);
    ASSERT_LT(available.QuadPart, old.size()) << "the disk is not full enough";
    {
        Process program(folder + "BriskJot.exe");
        ASSERT_TRUE(program.MainWindow(10000));
        PostMessageA(program.Memo(), WM_CHAR, '#', 0);
        EXPECT_TRUE(driver::AnswerBox(program, kErrorOnSave, IDOK));
        EXPECT_EQ(ReadFile(note), old);
        EXPECT_EQ(ReadFile(note + ".tmp"), "<missing>") << "the part-written copy is removed";
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

}  // namespace
