// BriskJot.exe under things going wrong around it: killed in the middle of a save, files and
// folders it cannot write, a clipboard it cannot open, damaged data in its own exe, a damaged
// settings file and a full disk. Whatever happens, the note on disk stays whole.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "app/commands.h"
#include "tests/e2e/driver.h"

namespace {

using driver::Process;
using driver::Sandbox;

constexpr char kAutoSaveOn[] = "AutoSave Memo=1\r\n";
constexpr char kErrorOnSave[] = "BriskJot - Error On Save";

std::string Env(const char* name) {
    char text[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA(name, text, sizeof text);
    return n > 0 && n < sizeof text ? std::string(text, n) : std::string();
}

int EnvInt(const char* name, int fallback) {
    const std::string text = Env(name);
    return text.empty() ? fallback : std::atoi(text.c_str());
}

// Lines of varied text with CR LF breaks, so the memo keeps the bytes exactly.
std::string LongNote(size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    std::string note;
    note.reserve(bytes + 80);
    while (note.size() < bytes) {
        const size_t length = 20 + random() % 60;
        for (size_t i = 0; i < length; ++i) note += static_cast<char>('a' + random() % 26);
        note += "\r\n";
    }
    note.resize(bytes);
    if (note.back() == '\r') note.back() = '.';
    return note;
}

// A note on disk after a kill is the old text or the old text behind a prefix of what was typed.
bool WholeNote(const std::string& onDisk, const std::string& old, const std::string& typed) {
    if (onDisk.size() < old.size() || onDisk.size() > old.size() + typed.size()) return false;
    const size_t added = onDisk.size() - old.size();
    return onDisk.compare(0, added, typed, 0, added) == 0 &&
           onDisk.compare(added, std::string::npos, old) == 0;
}

// A program with AutoSave on, started on a note that holds the given text.
std::unique_ptr<Process> StartOnNote(const Sandbox& sandbox, const std::string& text) {
    sandbox.WriteSettings(kAutoSaveOn);
    driver::WriteFile(sandbox.Note(), text);
    auto program = std::make_unique<Process>(sandbox.Exe());
    EXPECT_TRUE(program->MainWindow());
    return program;
}

TEST(Faults, KilledWhileAutoSavingLeavesAWholeNote) {
    // Loading a note this size takes many seconds under Wine: three kills fit the CI time,
    // scripts/faults.sh asks for 100.
    const int kills = EnvInt("BJ_FAULT_KILLS", 3);
    const unsigned seed = static_cast<unsigned>(EnvInt("BJ_FAULT_SEED", GetTickCount() & 0xFFFF));
    SCOPED_TRACE("BJ_FAULT_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);

    Sandbox sandbox;
    sandbox.WriteSettings(kAutoSaveOn);
    const std::string note = sandbox.Note();
    driver::WriteFile(note, LongNote(2 << 20, seed));

    int killedAfterSaves = 0;
    for (int round = 0; round < kills; ++round) {
        const std::string old = driver::ReadFile(note);
        std::string typed;
        for (int i = 0; i < 12; ++i) typed += static_cast<char>('A' + (round + i) % 26);
        {
            Process program(sandbox.Exe());
            HWND window = program.MainWindow(60000);
            ASSERT_TRUE(window) << "round " << round;
            for (const char c : typed) PostMessageA(program.Memo(), WM_CHAR, c, 0);
            // Each save of this note takes a few hundred milliseconds: the kill may land
            // before the first, between any two or inside one. Rounds take turns at early,
            // middle and late kills so even a short run kills after some saves.
            Sleep(static_cast<DWORD>(round % 3 * 1000 + random() % 1000));
            // ~Process ends it at once, whatever it is doing.
        }
        const std::string onDisk = driver::ReadFile(note);
        ASSERT_TRUE(WholeNote(onDisk, old, typed))
            << "round " << round << ": " << onDisk.size() << " bytes on disk, old note "
            << old.size() << ", begins \"" << onDisk.substr(0, 16) << "\"";
        if (onDisk != old) ++killedAfterSaves;
    }
    // Some kills must land after saves, or the rounds prove nothing about replacing the file.
    EXPECT_GT(killedAfterSaves, 0);
}

TEST(Faults, ANoteHeldOpenByAnotherProgramShowsTheErrorAndKeepsTheOldText) {
    Sandbox sandbox;
    const auto program = StartOnNote(sandbox, "old text");
    HANDLE lock = CreateFileA(sandbox.Note().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    PostMessageA(program->Memo(), WM_CHAR, '1', 0);
    EXPECT_TRUE(driver::AnswerBox(*program, kErrorOnSave, IDOK));
    CloseHandle(lock);
    EXPECT_EQ(driver::ReadFile(sandbox.Note()), "old text");
    EXPECT_EQ(driver::WindowText(program->Memo()), "1old text") << "the memo keeps the change";

    // Once the file is free the next change saves all of it.
    PostMessageA(program->Memo(), WM_CHAR, '2', 0);
    EXPECT_TRUE(driver::WaitFor([&] { return driver::ReadFile(sandbox.Note()) == "12old text"; }))
        << driver::ReadFile(sandbox.Note());
    EXPECT_FALSE(program->FindTopLevel("#32770", kErrorOnSave));
}

// Wine ignores the read-only attribute of a folder but honours the Unix mode bits, and it can
// start Unix programs: chmod does what the attribute does on Windows.
void MakeFolderReadOnly(const std::string& folder, bool readOnly) {
    using UnixFileName = char*(CDECL*)(LPCWSTR);
    const FARPROC proc =
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!proc) {
        SetFileAttributesA(folder.c_str(),
                           readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_DIRECTORY);
        return;
    }
    const auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void (*)()>(proc));
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide, MAX_PATH);
    char* unixPath = unixFileName(wide);
    ASSERT_TRUE(unixPath) << folder;
    std::string command =
        std::string("/bin/chmod ") + (readOnly ? "a-w" : "u+w") + " \"" + unixPath + "\"";
    HeapFree(GetProcessHeap(), 0, unixPath);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessA("/bin/chmod", command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &info));
    // Wine may start a Unix program without a handle to wait on; callers poll for the change.
    if (info.hProcess) WaitForSingleObject(info.hProcess, 10000);
    if (info.hProcess) CloseHandle(info.hProcess);
    if (info.hThread) CloseHandle(info.hThread);
}

bool CanCreateIn(const std::string& folder) {
    const std::string probe = folder + "probe";
    // A probe made just before the folder turned read-only could not be deleted then.
    DeleteFileA(probe.c_str());
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    DeleteFileA(probe.c_str());
    return true;
}

TEST(Faults, AFolderTurnedReadOnlyShowsTheErrorAndLosesNothing) {
    Sandbox sandbox;
    const auto program = StartOnNote(sandbox, "kept");
    HWND memo = program->Memo();
    const std::string folder = sandbox.Folder().substr(0, sandbox.Folder().size() - 1);
    MakeFolderReadOnly(folder, true);
    if (!driver::WaitFor([&] { return !CanCreateIn(sandbox.Folder()); })) {
        MakeFolderReadOnly(folder, false);
        GTEST_SKIP() << "this system does not enforce a read-only folder (running as root?)";
    }
    PostMessageA(memo, WM_CHAR, '+', 0);
    const bool boxShown = driver::AnswerBox(*program, kErrorOnSave, IDOK);
    // Writable again, or the sandbox could not be cleaned up.
    ASSERT_TRUE(driver::WaitFor([&] {
        MakeFolderReadOnly(folder, false);
        return CanCreateIn(sandbox.Folder());
    }));
    EXPECT_TRUE(boxShown);
    EXPECT_EQ(driver::ReadFile(sandbox.Note()), "kept");
    EXPECT_EQ(driver::WindowText(memo), "+kept");

    // Once the folder is writable again a later keystroke saves the whole text. Under Wine the
    // first save right after the change may still be refused; then the box comes again.
    bool saved = false;
    for (int attempt = 0; attempt < 3 && !saved; ++attempt) {
        PostMessageA(memo, WM_CHAR, '-', 0);
        saved = driver::WaitFor(
            [&] {
                const std::string text = driver::WindowText(memo);
                return text.size() > 5 && driver::ReadFile(sandbox.Note()) == text;
            },
            2000);
        if (!saved) driver::AnswerBox(*program, kErrorOnSave, IDOK);
    }
    EXPECT_TRUE(saved) << driver::ReadFile(sandbox.Note()) << " memo=" << driver::WindowText(memo);
    EXPECT_EQ(driver::ReadFile(sandbox.Note()).substr(0, 2), "+-") << "nothing typed was lost";
}

TEST(Faults, ClearClipboardWhileAnotherProgramHoldsItEndsSilently) {
    Sandbox sandbox;
    sandbox.WriteSettings("Warning On Clear Clipboard=0\r\n");
    Process program(sandbox.Exe());
    HWND window = program.MainWindow();
    ASSERT_TRUE(window);

    HWND owner = CreateWindowExA(0, "STATIC", "clipboard holder", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                 nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner);
    ASSERT_TRUE(driver::WaitFor([&] { return OpenClipboard(owner) != FALSE; }));
    EmptyClipboard();
    const char kept[] = "still here";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof kept);
    memcpy(GlobalLock(memory), kept, sizeof kept);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);

    // The command is offered once the program's 100 ms timer has seen the content; the last
    // step below shows that it was.
    Sleep(1000);
    HWND viewer = CreateWindowExA(0, "STATIC", "Clipboard Viewer", WS_POPUP, 0, 0, 1, 1, nullptr,
                                  nullptr, nullptr, nullptr);
    // Sent, not posted: it returns once the command has run. Meanwhile this thread answers
    // what is sent to it, so a viewer closed by mistake would be gone.
    auto clear = [&] {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(window, WM_COMMAND, cmd::PopUpClearClipboard, 0, SMTO_NORMAL,
                                   10000, &result) != 0;
    };
    EXPECT_TRUE(clear());
    EXPECT_FALSE(program.FindTopLevel("#32770")) << "no message of any kind";
    EXPECT_TRUE(program.Running());
    EXPECT_TRUE(IsWindow(viewer)) << "viewers are left alone";
    DestroyWindow(viewer);
    CloseClipboard();
    DestroyWindow(owner);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT)) << "the held clipboard was not emptied";
    CloseClipboard();

    // Once free, the same command empties it at the first try.
    EXPECT_TRUE(clear());
    EXPECT_TRUE(driver::WaitFor([] { return CountClipboardFormats() == 0; }, 1000));
}

void AnswerWinHelpError(const std::string& folder) {
    driver::WaitFor(
        [&] {
            HWND box = nullptr;
            while ((box = FindWindowExA(nullptr, box, "#32770", "ERROR")) != nullptr) {
                if (driver::WindowText(GetDlgItem(box, 0xFFFF)).find(folder) == std::string::npos)
                    continue;
                if (HWND no = GetDlgItem(box, IDNO)) SendMessageA(no, BM_CLICK, 0, 0);
                return true;
            }
            return false;
        },
        2000);
}

TEST(Faults, DamagedDataInTheExeStillStartsAndServesHelpRequests) {
    const struct {
        const char* what;
        size_t offset;  // from the magic
        size_t length;
    } damages[] = {
        {"format byte", 4, 1},
        {"first property names", 5, 24},
        {"lengths deep inside", 300, 64},
        {"the compressed help file", 4000, 256},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.what);
        Sandbox sandbox;
        std::string exe = driver::ReadFile(sandbox.Exe());
        const size_t at = exe.find("BJPD\x01");
        ASSERT_NE(at, std::string::npos);
        ASSERT_EQ(exe.find("BJPD\x01", at + 1), std::string::npos) << "one persisted container";
        ASSERT_LT(at + damage.offset + damage.length, exe.size());
        for (size_t i = 0; i < damage.length; ++i) exe[at + damage.offset + i] ^= 0x5A;
        driver::WriteFile(sandbox.Exe(), exe);

        Process program(sandbox.Exe());
        HWND window = program.MainWindow(10000);
        ASSERT_TRUE(window) << "the program starts";
        driver::Command(window, cmd::MenuHelpTopics);
        // Without its data the help router keeps its defaults and asks WinHelp, whose viewer
        // reports the missing .hlp file while the program waits for it: answer as a user would.
        AnswerWinHelpError(sandbox.Folder());
        DWORD_PTR result = 0;
        EXPECT_TRUE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 10000, &result))
            << "the program answers after a help request";
        EXPECT_TRUE(program.Running());
        // The memo still works.
        PostMessageA(program.Memo(), WM_CHAR, 'z', 0);
        EXPECT_TRUE(driver::WaitFor([&] { return driver::WindowText(program.Memo()) == "z"; }));
    }
}

TEST(Faults, EveryKeyOfTheSettingsDamagedStartsRepairsAndPlacesTheWindow) {
    Sandbox sandbox;
    sandbox.WriteSettings(
        "AutoSave Memo=7\r\nHeight=$zz\r\nLeft=99999999999\r\nShow On StartUp=-3\r\n"
        "Start With Windows=2\r\nTop=-2147483648\r\nWarning On Clear Clipboard=0x\r\n"
        "Warning On ClearMemo=65537\r\nWidth=\x01\x7f\r\n");
    Process program(sandbox.Exe());
    HWND window = program.MainWindow(10000);
    ASSERT_TRUE(window);
    ASSERT_TRUE(driver::WaitFor([&] { return IsWindowVisible(window) != FALSE; }));
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ((std::array<LONG, 4>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
              (std::array<LONG, 4>{615, 521, 409, 219}));

    const std::string ini = sandbox.Path("BriskJot.ini");
    for (const char* key :
         {"AutoSave Memo", "Show On StartUp", "Start With Windows", "Warning On ClearMemo"}) {
        char value[64] = "";
        GetPrivateProfileStringA("Settings", key, "<missing>", value, sizeof value, ini.c_str());
        EXPECT_TRUE(std::string(value) == "0" || std::string(value) == "1")
            << key << "=" << value << " is repaired in the file";
    }
    // The window still works: a save by command lands on disk.
    PostMessageA(program.Memo(), WM_CHAR, 'k', 0);
    ASSERT_TRUE(driver::WaitFor([&] { return driver::WindowText(program.Memo()) == "k"; }));
    driver::Command(window, cmd::MenuSave);
    EXPECT_TRUE(driver::WaitFor([&] { return driver::ReadFile(sandbox.Note()) == "k"; }));
}

// Needs a small filesystem made by root: scripts/faults.sh mounts one and names it in
// BJ_FULL_DISK (a Unix path, reached through drive Z:).
TEST(Faults, ASaveThatDoesNotFitShowsTheErrorAndKeepsTheOldNote) {
    const std::string unixPath = Env("BJ_FULL_DISK");
    if (unixPath.empty())
        GTEST_SKIP() << "no small filesystem: run scripts/faults.sh as root to mount one";
    std::string folder = "Z:" + unixPath;
    for (char& c : folder)
        if (c == '/') c = '\\';
    if (folder.back() != '\\') folder += '\\';
    folder += "run-" + std::to_string(GetCurrentProcessId()) + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    const std::string exe = folder + "BriskJot.exe";
    const std::string note = folder + "BriskJot.txt";
    Sandbox source;  // holds the exe to copy
    ASSERT_TRUE(CopyFileA(source.Exe().c_str(), exe.c_str(), FALSE)) << "copy into " << folder;
    driver::WriteFile(folder + "BriskJot.ini", std::string("[Settings]\r\n") + kAutoSaveOn);

    const std::string old = LongNote(200 << 10, 7);
    driver::WriteFile(note, old);
    ULARGE_INTEGER available{};
    ASSERT_TRUE(GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr));
    // Room for about half a note more: the new copy cannot be written.
    const ULONGLONG room = old.size() / 2;
    if (available.QuadPart > room)
        driver::WriteFile(folder + "filler",
                          std::string(static_cast<size_t>(available.QuadPart - room), 'f'));
    GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr);
    ASSERT_LT(available.QuadPart, old.size()) << "the disk is not full enough";

    {
        Process program(exe);
        ASSERT_TRUE(program.MainWindow(10000));
        PostMessageA(program.Memo(), WM_CHAR, '#', 0);
        EXPECT_TRUE(driver::AnswerBox(program, kErrorOnSave, IDOK));
        EXPECT_EQ(driver::ReadFile(note), old);
        EXPECT_EQ(driver::ReadFile(folder + "BriskJot.txt.tmp"), "<missing>")
            << "the part-written copy is removed";
    }
    for (const char* name :
         {"BriskJot.exe", "BriskJot.txt", "BriskJot.txt.tmp", "BriskJot.ini", "filler"})
        DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
