// BriskJot.exe under things going wrong around it: killed in the middle of a save, files and
// folders it cannot write, a clipboard it cannot open, damaged data in its own exe, a damaged
// settings file and a full disk. Whatever happens, the note on disk stays whole.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/commands.h"
#include "tests/e2e/driver.h"

namespace {

using driver::Process;
using driver::Sandbox;

constexpr char kAutoSaveOn[] = "AutoSave Memo=1\r\n";
constexpr char kErrorOnSave[] = "BriskJot - Error On Save";

int EnvInt(const char* name, int fallback) {
    char text[32];
    const DWORD n = GetEnvironmentVariableA(name, text, sizeof text);
    return n > 0 && n < sizeof text ? std::atoi(text) : fallback;
}

std::string EnvText(const char* name) {
    char text[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA(name, text, sizeof text);
    return n > 0 && n < sizeof text ? std::string(text, n) : std::string();
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

bool BoxShown(const Process& program, const char* caption) {
    return program.FindTopLevel("#32770", caption) != nullptr;
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
    const std::string note = sandbox.Path("BriskJot.txt");
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
    sandbox.WriteSettings(kAutoSaveOn);
    const std::string note = sandbox.Path("BriskJot.txt");
    driver::WriteFile(note, "old text");
    Process program(sandbox.Exe());
    ASSERT_TRUE(program.MainWindow());

    HANDLE lock = CreateFileA(note.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    PostMessageA(program.Memo(), WM_CHAR, '1', 0);
    EXPECT_TRUE(driver::AnswerBox(program, kErrorOnSave, IDOK));
    CloseHandle(lock);
    EXPECT_EQ(driver::ReadFile(note), "old text");
    EXPECT_EQ(driver::WindowText(program.Memo()), "1old text") << "the memo keeps the change";

    // Once the file is free the next change saves all of it.
    PostMessageA(program.Memo(), WM_CHAR, '2', 0);
    EXPECT_TRUE(driver::WaitFor([&] { return driver::ReadFile(note) == "12old text"; }))
        << driver::ReadFile(note);
    EXPECT_FALSE(BoxShown(program, kErrorOnSave));
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
    sandbox.WriteSettings(kAutoSaveOn);
    const std::string note = sandbox.Path("BriskJot.txt");
    driver::WriteFile(note, "kept");
    Process program(sandbox.Exe());
    ASSERT_TRUE(program.MainWindow());

    const std::string folder = sandbox.Folder().substr(0, sandbox.Folder().size() - 1);
    MakeFolderReadOnly(folder, true);
    if (!driver::WaitFor([&] { return !CanCreateIn(sandbox.Folder()); })) {
        MakeFolderReadOnly(folder, false);
        GTEST_SKIP() << "this system does not enforce a read-only folder (running as root?)";
    }
    PostMessageA(program.Memo(), WM_CHAR, '+', 0);
    const bool boxShown = driver::AnswerBox(program, kErrorOnSave, IDOK);
    // Writable again, or the sandbox could not be cleaned up.
    ASSERT_TRUE(driver::WaitFor([&] {
        MakeFolderReadOnly(folder, false);
        return CanCreateIn(sandbox.Folder());
    }));
    EXPECT_TRUE(boxShown);
    EXPECT_EQ(driver::ReadFile(note), "kept");
    EXPECT_EQ(driver::WindowText(program.Memo()), "+kept");

    // Once the folder is writable again a later keystroke saves the whole text. Under Wine the
    // first save right after the change may still be refused; then the box comes again.
    bool saved = false;
    for (int attempt = 0; attempt < 3 && !saved; ++attempt) {
        PostMessageA(program.Memo(), WM_CHAR, '-', 0);
        saved = driver::WaitFor(
            [&] {
                const std::string memo = driver::WindowText(program.Memo());
                return memo.size() > 5 && driver::ReadFile(note) == memo;
            },
            2000);
        if (!saved) driver::AnswerBox(program, kErrorOnSave, IDOK);
    }
    EXPECT_TRUE(saved) << driver::ReadFile(note) << " memo=" << driver::WindowText(program.Memo());
    EXPECT_EQ(driver::ReadFile(note).substr(0, 2), "+-") << "nothing typed was lost";
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

    // Sent, not posted: it returns once the command has run.
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutA(window, WM_COMMAND, cmd::PopUpClearClipboard, 0, SMTO_BLOCK,
                                    10000, &result));
    EXPECT_FALSE(program.FindTopLevel("#32770")) << "no message of any kind";
    EXPECT_TRUE(program.Running());
    CloseClipboard();
    DestroyWindow(owner);

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT)) << "the held clipboard was not emptied";
    CloseClipboard();

    // Once free, the same command empties it.
    driver::Command(window, cmd::PopUpClearClipboard);
    EXPECT_TRUE(driver::WaitFor([] { return CountClipboardFormats() == 0; }));
}

// Offsets into the exe of every "BJPD" container.
std::vector<size_t> FindPersistedData(const std::string& exe) {
    std::vector<size_t> found;
    for (size_t at = exe.find("BJPD\x01"); at != std::string::npos;
         at = exe.find("BJPD\x01", at + 1))
        found.push_back(at);
    return found;
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
    struct Damage {
        const char* what;
        size_t offset;  // from the magic
        size_t length;
    };
    const Damage damages[] = {
        {"format byte", 4, 1},
        {"first property names", 5, 24},
        {"lengths deep inside", 300, 64},
        {"the compressed help file", 4000, 256},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        Sandbox sandbox;
        std::string exe = driver::ReadFile(sandbox.Exe());
        const std::vector<size_t> found = FindPersistedData(exe);
        ASSERT_EQ(found.size(), 1u) << "one persisted container in the exe";
        ASSERT_LT(found[0] + damage.offset + damage.length, exe.size());
        for (size_t i = 0; i < damage.length; ++i) exe[found[0] + damage.offset + i] ^= 0x5A;
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
    EXPECT_EQ(r.left, 615);
    EXPECT_EQ(r.top, 521);
    EXPECT_EQ(r.right - r.left, 409);
    EXPECT_EQ(r.bottom - r.top, 219);

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
    EXPECT_TRUE(
        driver::WaitFor([&] { return driver::ReadFile(sandbox.Path("BriskJot.txt")) == "k"; }));
}

// Needs a small filesystem made by root: scripts/faults.sh mounts one and names it in
// BJ_FULL_DISK (a Unix path, reached through drive Z:).
TEST(Faults, ASaveThatDoesNotFitShowsTheErrorAndKeepsTheOldNote) {
    const std::string unixPath = EnvText("BJ_FULL_DISK");
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
    const std::string filler = folder + "filler";
    Sandbox source;  // holds the exe to copy
    ASSERT_TRUE(CopyFileA(source.Exe().c_str(), exe.c_str(), FALSE)) << "copy into " << folder;
    driver::WriteFile(folder + "BriskJot.ini", std::string("[Settings]\r\n") + kAutoSaveOn);

    const std::string old = LongNote(200 << 10, 7);
    driver::WriteFile(note, old);
    ULARGE_INTEGER available{}, total{}, free{};
    ASSERT_TRUE(GetDiskFreeSpaceExA(folder.c_str(), &available, &total, &free));
    // Room for about half a note more: the new copy cannot be written.
    const ULONGLONG room = old.size() / 2;
    if (available.QuadPart > room)
        driver::WriteFile(filler, std::string(static_cast<size_t>(available.QuadPart - room), 'f'));
    GetDiskFreeSpaceExA(folder.c_str(), &available, &total, &free);
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
