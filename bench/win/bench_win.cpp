// BriskJot's costs on Windows against the least that does the same job, printed as rows of the
// ratio table (name, baseline, briskjot, ratio, target); notes on how they were taken go to stderr.
//   bj_bench_win [--rounds=N] [--idle-seconds=S] [--start-up-only=1] [--only=GROUP]
// BriskJot.exe, bj_tray_minimal.exe and bj_note_minimal.exe must sit beside this program.
#include <windows.h>
// after windows.h, which they need
#include <dlgs.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/ansicodepage.h"
#include "app/notefile.h"
#include "components/memosearch/memosearch.h"
#include "framework/classnames.h"
#include "framework/memo.h"

namespace {

double Seconds() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void Row(const std::string& name, double baseline, double briskjot, double target) {
    char ratio[16] = "-";
    if (baseline > 0) std::snprintf(ratio, sizeof ratio, "%.2f", briskjot / baseline);
    char targetText[32] = "-";
    if (target > 0)
        std::snprintf(targetText, sizeof targetText, "%.2f%s", target,
                      baseline > 0 && briskjot / baseline > target ? " !" : "");
    std::printf("%-44s %14.0f %14.0f %8s %8s\n", name.c_str(), baseline, briskjot, ratio,
                targetText);
    std::fflush(stdout);
}

std::string ThisFolder() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string exe(path, n);
    return exe.substr(0, exe.find_last_of('\\') + 1);
}

std::string FreshFolder(const std::string& tag) {
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "bj-bench-" +
                               std::to_string(GetCurrentProcessId()) + "-" + tag + "-" +
                               std::to_string(++counter) + "\\";
    if (!CreateDirectoryA(folder.c_str(), nullptr)) throw std::runtime_error("mkdir " + folder);
    return folder;
}

void RemoveFolder(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileA((folder + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

// Wine leaves the memory and time counters of other processes at zero; its Unix side has them.
std::string ReadProcFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (bytes.size() < (1u << 20) && ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

// The Linux process that runs the Windows program started from `folder`, or an empty text.
std::string UnixProcFolder(const std::string& folder) {
    const std::string tag = folder.substr(folder.find_last_of('\\', folder.size() - 2) + 1);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    std::string result;
    do {
        if (found.cFileName[0] < '1' || found.cFileName[0] > '9') continue;
        const std::string proc = std::string("Z:\\proc\\") + found.cFileName + "\\";
        if (ReadProcFile(proc + "cmdline").find(tag) != std::string::npos) result = proc;
    } while (result.empty() && FindNextFileA(search, &found));
    FindClose(search);
    return result;
}

double UnixCpuSeconds(const std::string& proc) {
    const std::string stat = ReadProcFile(proc + "stat");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    // After the name: state is field 3; utime and stime are fields 14 and 15, in 1/100 s.
    unsigned long long fields[13] = {};
    char state = 0;
    if (std::sscanf(stat.c_str() + close + 1,
                    " %c %llu %llu %llu %llu %llu %llu %llu %llu %llu %llu %llu %llu", &state,
                    &fields[0], &fields[1], &fields[2], &fields[3], &fields[4], &fields[5],
                    &fields[6], &fields[7], &fields[8], &fields[9], &fields[10], &fields[11]) != 13)
        return -1;
    return static_cast<double>(fields[10] + fields[11]) / 100.0;
}

double UnixPrivateBytes(const std::string& proc) {
    const std::string rollup = ReadProcFile(proc + "smaps_rollup");
    double kib = 0;
    for (const char* key : {"Private_Clean:", "Private_Dirty:"}) {
        const size_t at = rollup.find(key);
        if (at != std::string::npos) kib += std::atof(rollup.c_str() + at + std::strlen(key));
    }
    return kib * 1024;
}

void WriteWholeFile(const std::string& path, const std::string& bytes, bool flush = false) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("create " + path);
    DWORD wrote = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) &&
        (!flush || FlushFileBuffers(file));
    CloseHandle(file);
    if (!ok || wrote != bytes.size()) throw std::runtime_error("write " + path);
}

// One keystroke with AutoSave on: fetch the memo's text, encode it as the note's bytes and
// replace the note file with them, as the program's save does.
void AutoSaveKeystroke(int rounds, const char16_t* line, const char* name) {
    const std::string folder = FreshFolder("autosave");
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr,
                                  nullptr, nullptr);
    double ours = 0, plain = 0, fetch = 0, encode = 0, flushed = 0;
    notecodec::Encoding encoding = notecodec::Encoding::Ansi;
    {
        fw::TMemo memo(parent, fw::TMemo::Style{});
        std::u16string text;
        while (text.size() < (1u << 20)) text += line;
        text.resize(1u << 20);
        memo.SetText(text);
        if (memo.TextView().View() != text) throw std::runtime_error("the memo did not take 1 Mi");
        std::string buffer;
        const std::string bytes(notecodec::Encode(text, encoding, AnsiCodePage(), buffer));

        const std::string note = folder + "BriskJot.txt";
        const std::string copy = folder + "plain.txt";
        // A file of its own, so each durable write replaces blocks already on the disk, as a
        // save replaces the note's.
        const std::string durable = folder + "durable.txt";
        std::string noteBytes;
        std::vector<double> oursTimes, plainTimes, fetchTimes, encodeTimes, flushedTimes;
        for (int i = 0; i < rounds; ++i) {
            double start = Seconds();
            notecodec::Encoding saveAs = encoding;
            notefile::WriteNote(
                note, notecodec::Encode(memo.TextView().View(), saveAs, AnsiCodePage(), noteBytes));
            oursTimes.push_back(Seconds() - start);
            start = Seconds();
            WriteWholeFile(copy, bytes);
            plainTimes.push_back(Seconds() - start);
            start = Seconds();
            const fw::TEditText fetched = memo.TextView();
            fetchTimes.push_back(Seconds() - start);
            start = Seconds();
            const std::string_view encoded =
                notecodec::Encode(fetched.View(), saveAs, AnsiCodePage(), noteBytes);
            encodeTimes.push_back(Seconds() - start);
            if (encoded != bytes) throw std::runtime_error("memo text changed");
            start = Seconds();
            WriteWholeFile(durable, bytes, true);
            flushedTimes.push_back(Seconds() - start);
        }
        fetch = Median(fetchTimes);
        encode = Median(encodeTimes);
        flushed = Median(flushedTimes);
        ours = Median(oursTimes);
        plain = Median(plainTimes);
    }
    DestroyWindow(parent);
    RemoveFolder(folder);
    std::fprintf(stderr,
                 "%s: median of %d saves of 1 Mi characters, microseconds; of ours, the memo "
                 "text fetch takes %.0f, encoding it %.0f and flushing the file to the disk "
                 "about %.0f (the plain write flushed before closing: %.0f)\n",
                 name, rounds, fetch * 1e6, encode * 1e6, (flushed - plain) * 1e6, flushed * 1e6);
    Row(name, plain * 1e6, ours * 1e6, 2.0);
    std::string durableRow = name;
    durableRow.insert(durableRow.rfind(" ["), "Durable");
    Row(durableRow, flushed * 1e6, ours * 1e6, 1.5);
}

struct Program {
    const char* exeName;
    const char* trayWindowClass;
    const char* settings;   // written beside the copy, or null
    std::string note = {};  // BriskJot.txt beside the copy, when not empty
};

const Program kBaseline{"bj_tray_minimal.exe", "BjTrayMinimal", nullptr};
// An everyday start: the settings file is whole (the first run writes it) and says to start
// in the notification area.
const Program kBriskJot{"BriskJot.exe", fw::classnames::kTray,
                        "[Settings]\r\nAutoSave Memo=1\r\nHeight=219\r\nLeft=615\r\n"
                        "Show On StartUp=0\r\nStart With Windows=0\r\nTop=521\r\n"
                        "Warning On Clear Clipboard=1\r\nWarning On ClearMemo=1\r\nWidth=409\r\n"};

bool TrayIconExists(HWND window) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

// The program's window of that class, top-level or message-only, that passes the test.
template <typename Accept>
HWND WindowOf(DWORD processId, const char* className, Accept accept) {
    for (HWND parent : {HWND(nullptr), HWND_MESSAGE}) {
        HWND window = nullptr;
        while ((window = FindWindowExA(parent, window, className, nullptr)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == processId && accept(window)) return window;
        }
    }
    return nullptr;
}

// A copy of one program in a fresh folder, started and waited for until it is idle with its icon.
class Started {
public:
    explicit Started(const Program& program) : folder_(FreshFolder(program.exeName)) {
        const std::string exe = folder_ + program.exeName;
        if (!CopyFileA((ThisFolder() + program.exeName).c_str(), exe.c_str(), FALSE))
            throw std::runtime_error(std::string("copy ") + program.exeName);
        if (program.settings) WriteWholeFile(folder_ + "BriskJot.ini", program.settings);
        if (!program.note.empty()) WriteWholeFile(folder_ + "BriskJot.txt", program.note);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + exe + "\"";
        const double start = Seconds();
        if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder_.c_str(), &startup, &info_))
            throw std::runtime_error("start " + exe);
        const double deadline = start + 30;
        // A start that fails leaves no program behind: no destructor runs for it.
        const auto fail = [&](const char* what) {
            TerminateProcess(info_.hProcess, 0);
            WaitForSingleObject(info_.hProcess, 5000);
            CloseHandle(info_.hThread);
            CloseHandle(info_.hProcess);
            return std::runtime_error(std::string(program.exeName) + what);
        };
        for (;;) {
            if (WaitForInputIdle(info_.hProcess, 0) == 0) {
                if (WindowOf(info_.dwProcessId, program.trayWindowClass, TrayIconExists)) break;
            }
            if (WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0)
                throw fail(" ended at start");
            if (Seconds() > deadline) throw fail(" never got its icon");
            Sleep(1);
        }
        startSeconds_ = Seconds() - start;
        unixProc_ = UnixProcFolder(folder_);
    }
    ~Started() {
        TerminateProcess(info_.hProcess, 0);
        WaitForSingleObject(info_.hProcess, 5000);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
        RemoveFolder(folder_);
    }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;

    double StartSeconds() const { return startSeconds_; }
    double PrivateBytes() const {
        if (!unixProc_.empty()) return UnixPrivateBytes(unixProc_);
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof counters;
        if (!GetProcessMemoryInfo(info_.hProcess,
                                  reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                  sizeof counters))
            throw std::runtime_error("GetProcessMemoryInfo");
        return static_cast<double>(counters.PrivateUsage);
    }
    double CpuSeconds() const {
        if (!unixProc_.empty()) return UnixCpuSeconds(unixProc_);
        FILETIME created, ended, kernel, user;
        if (!GetProcessTimes(info_.hProcess, &created, &ended, &kernel, &user))
            throw std::runtime_error("GetProcessTimes");
        auto value = [](const FILETIME& t) {
            return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) |
                                       t.dwLowDateTime) *
                   1e-7;
        };
        return value(kernel) + value(user);
    }

private:
    std::string folder_;
    PROCESS_INFORMATION info_{};
    double startSeconds_ = 0;
    std::string unixProc_;  // set when running under Wine
};

// The 32-bit build's rows carry its name.
const std::string kBuild = sizeof(void*) == 4 ? " i686" : "";

void StartUpAndMemory(int rounds) {
    std::vector<double> startBase, startOurs, memoryBase, memoryOurs;
    for (int i = 0; i < rounds; ++i) {
        // Alternated, so a busy moment of the machine falls on both sides alike.
        for (const Program* program : {&kBaseline, &kBriskJot}) {
            Started started(*program);
            Sleep(200);  // what start-up left behind, not what it is still doing
            const bool base = program == &kBaseline;
            (base ? startBase : startOurs).push_back(started.StartSeconds());
            (base ? memoryBase : memoryOurs).push_back(started.PrivateBytes());
        }
    }
    std::fprintf(stderr, "Start-up and memory: median of %d starts of each program\n", rounds);
    Row("win/StartUpToTrayIconIdle" + kBuild + " [ms]", Median(startBase) * 1e3,
        Median(startOurs) * 1e3, 1.3);
    Row("win/PrivateMemoryAfterStartUp" + kBuild + " [KiB]", Median(memoryBase) / 1024,
        Median(memoryOurs) / 1024, 1.5);
}

// A note of 64 Ki characters in the given encoding, of the line repeated. (Wine's edit control
// lays out text beyond ASCII slowly in the memo's font: a start with 1 Mi of it takes seconds.)
std::string NoteOf(const char16_t* line, notecodec::Encoding encoding) {
    std::u16string text;
    while (text.size() < (1u << 16)) text += line;
    text.resize(1u << 16);
    std::string buffer;
    return std::string(notecodec::Encode(text, encoding, AnsiCodePage(), buffer));
}

// A start with a UTF-8 note of accented letters, arrows and ideographs against one with an
// ASCII note of the same length.
void StartUpWithNote(int rounds) {
    Program ascii = kBriskJot;
    ascii.note =
        NoteOf(u"The quick brown fox jumps over the lazy dog.\r\n", notecodec::Encoding::Ansi);
    Program utf8 = kBriskJot;
    utf8.note = NoteOf(u"Caf\u00E9 na\u00EFve \u2192 \u4E2D\u6587 notes.\r\n",
                       notecodec::Encoding::Utf8Mark);
    std::vector<double> startAscii, startUtf8;
    for (int i = 0; i < rounds; ++i) {
        for (const Program* program : {&ascii, &utf8}) {
            Started started(*program);
            (program == &ascii ? startAscii : startUtf8).push_back(started.StartSeconds());
        }
    }
    std::fprintf(stderr, "Start-up with a note of 64 Ki characters: median of %d starts\n", rounds);
    Row("win/StartUpWithUtf8Note64Ki [ms]", Median(startAscii) * 1e3, Median(startUtf8) * 1e3, 1.3);
}

void IdleCpu(int seconds) {
    Started base(kBaseline);
    Started ours(kBriskJot);
    const double base0 = base.CpuSeconds(), ours0 = ours.CpuSeconds();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const double baseUsed = base.CpuSeconds() - base0, oursUsed = ours.CpuSeconds() - ours0;
    std::fprintf(stderr, "Idle CPU: both programs side by side for %d s, microseconds\n", seconds);
    Row("win/CpuIdle" + std::to_string(seconds) + "s [us]", baseUsed * 1e6, oursUsed * 1e6, 0);
}

// Note text of the given size in lines of 62 characters, the line break included.
std::string NoteOfSize(size_t size) {
    static const std::string words =
        "The quick brown fox jumps over the lazy dog; pack my box "
        "with five dozen liquor jugs. ";
    std::string text;
    text.reserve(size + 62);
    for (size_t at = 0; text.size() < size; at += 60) {
        for (size_t i = 0; i < 60; ++i) text += words[(at + i) % words.size()];
        text += "\r\n";
    }
    text.resize(size - 2);
    text += "\r\n";
    return text;
}

double FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return static_cast<double>((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) |
                               data.nFileSizeLow);
}

struct NoteProgram {
    const char* exeName;
    const char* windowClass;
    const char* settings;  // written beside the copy, or null
};

const NoteProgram kNoteBaseline{"bj_note_minimal.exe", "BjNoteMinimal", nullptr};
// Shown at start, with AutoSave on, at the default place of a 1024 x 768 screen.
const NoteProgram kNoteBriskJot{"BriskJot.exe", fw::classnames::kForm,
                                "[Settings]\r\nAutoSave Memo=1\r\nHeight=219\r\nLeft=615\r\n"
                                "Show On StartUp=1\r\nStart With Windows=0\r\nTop=521\r\n"
                                "Warning On Clear Clipboard=1\r\nWarning On ClearMemo=1\r\n"
                                "Width=409\r\n"};

// A copy of one program started with a note beside it, timed until its window is shown with
// the whole note, painted, and the program idle.
class ShownWithNote {
public:
    ShownWithNote(const NoteProgram& program, const std::string& note)
        : folder_(FreshFolder(program.exeName)) {
        const std::string exe = folder_ + program.exeName;
        if (!CopyFileA((ThisFolder() + program.exeName).c_str(), exe.c_str(), FALSE))
            throw std::runtime_error(std::string("copy ") + program.exeName);
        if (program.settings) WriteWholeFile(folder_ + "BriskJot.ini", program.settings);
        WriteWholeFile(NotePath(), note);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + exe + "\"";
        const double start = Seconds();
        if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder_.c_str(), &startup, &info_))
            throw std::runtime_error("start " + exe);
        const double deadline = start + 600;
        while ((window_ = WindowOf(info_.dwProcessId, program.windowClass, IsWindowVisible)) ==
               nullptr) {
            if (WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0)
                throw std::runtime_error(std::string(program.exeName) + " ended at start");
            if (Seconds() > deadline)
                throw std::runtime_error(std::string(program.exeName) + " never showed");
            Sleep(1);
        }
        // Answered once the program takes messages again; then every pending paint is done.
        SendMessageA(window_, WM_NULL, 0, 0);
        RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        WaitForInputIdle(info_.hProcess, 10000);
        startSeconds_ = Seconds() - start;
        memo_ = FindWindowExA(window_, nullptr, "EDIT", nullptr);
        if (!memo_ ||
            static_cast<size_t>(SendMessageA(memo_, WM_GETTEXTLENGTH, 0, 0)) != note.size())
            throw std::runtime_error(std::string(program.exeName) + " showed part of the note");
        unixProc_ = UnixProcFolder(folder_);
    }
    ~ShownWithNote() {
        TerminateProcess(info_.hProcess, 0);
        WaitForSingleObject(info_.hProcess, 5000);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
        RemoveFolder(folder_);
    }
    ShownWithNote(const ShownWithNote&) = delete;
    ShownWithNote& operator=(const ShownWithNote&) = delete;

    double StartSeconds() const { return startSeconds_; }
    std::string NotePath() const { return folder_ + "BriskJot.txt"; }
    const std::string& Folder() const { return folder_; }
    double PrivateBytes() const {
        if (!unixProc_.empty()) return UnixPrivateBytes(unixProc_);
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(info_.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters);
        return static_cast<double>(counters.PrivateUsage);
    }

    // One typed character, from its key going down until the window is painted again.
    double Keystroke() {
        const double start = Seconds();
        SendMessageA(memo_, WM_KEYDOWN, 'X', 0x002D0001);
        SendMessageA(memo_, WM_CHAR, 'x', 0x002D0001);
        SendMessageA(memo_, WM_KEYUP, 'X', static_cast<LPARAM>(0xC02D0001u));
        RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        return Seconds() - start;
    }

    // The program's own handlers run only for a window that was activated.
    void Activate() {
        SetForegroundWindow(window_);
        const double deadline = Seconds() + 10;
        while (GetForegroundWindow() != window_ && Seconds() < deadline) Sleep(1);
        SendMessageA(window_, WM_NULL, 0, 0);
    }

private:
    std::string folder_;
    PROCESS_INFORMATION info_{};
    HWND window_ = nullptr;
    HWND memo_ = nullptr;
    double startSeconds_ = 0;
    std::string unixProc_;
};

// Start-up with a large note against the least program that shows it; with 1 MiB also the
// keystrokes with AutoSave on, with 8 MiB also the memory.
void StartUpWithLargeNote(int rounds) {
    constexpr int kKeystrokes = 20;
    const struct {
        const char* name;
        size_t size;
        int rounds;
    } sizes[] = {{"64KiB", 64u << 10, rounds},
                 {"1MiB", 1u << 20, std::max(3, rounds / 2)},
                 {"8MiB", 8u << 20, std::max(3, rounds / 3)}};
    for (const auto& size : sizes) {
        const std::string note = NoteOfSize(size.size);
        std::vector<double> startBase, startOurs, memoryBase, memoryOurs;
        std::vector<double> keyBase, keyOurs, durable;
        for (int i = 0; i < size.rounds; ++i) {
            for (const NoteProgram* program : {&kNoteBaseline, &kNoteBriskJot}) {
                const bool base = program == &kNoteBaseline;
                ShownWithNote shown(*program, note);
                (base ? startBase : startOurs).push_back(shown.StartSeconds());
                if (size.size == (8u << 20)) {
                    Sleep(200);  // what start-up left behind, not what it is still doing
                    (base ? memoryBase : memoryOurs).push_back(shown.PrivateBytes());
                }
                if (size.size != (1u << 20)) continue;
                shown.Activate();
                const std::string copy = shown.Folder() + "durable.txt";
                for (int k = 0; k < kKeystrokes; ++k) {
                    (base ? keyBase : keyOurs).push_back(shown.Keystroke());
                    if (!base &&
                        FileSize(shown.NotePath()) != static_cast<double>(note.size() + k + 1))
                        throw std::runtime_error("AutoSave did not save a keystroke");
                    if (!base) continue;
                    const double start = Seconds();
                    WriteWholeFile(copy, note, true);
                    durable.push_back(Seconds() - start);
                }
            }
        }
        std::fprintf(stderr,
                     "Start-up with a %s note until shown, painted and idle: median of %d starts "
                     "of each program\n",
                     size.name, size.rounds);
        Row(std::string("win/StartUpShown") + size.name + " [ms]", Median(startBase) * 1e3,
            Median(startOurs) * 1e3, 1.3);
        if (!memoryOurs.empty())
            Row(std::string("win/PrivateMemoryShown") + size.name + " [KiB]",
                Median(memoryBase) / 1024, Median(memoryOurs) / 1024, 1.3);
        if (!keyOurs.empty()) {
            std::fprintf(stderr,
                         "Keystroke with AutoSave on, 1 MiB note: median of %zu, microseconds; "
                         "the baseline is the least program's keystroke (%.0f) plus a durable "
                         "write of the note (%.0f)\n",
                         keyOurs.size(), Median(keyBase) * 1e6, Median(durable) * 1e6);
            Row("win/KeystrokeAutoSave1MiB [us]", (Median(keyBase) + Median(durable)) * 1e6,
                Median(keyOurs) * 1e6, 1.5);
        }
    }
}

// F3 in the program's own memo and search component over 16 MiB, against the search alone.
void SearchAgain16MiB(int rounds) {
    constexpr size_t kSize = 16u << 20;
    constexpr char16_t kWord[] = u"BriskJot";
    const std::string ascii = NoteOfSize(kSize);
    std::u16string text(ascii.begin(), ascii.end());
    const size_t at = kSize - 200;
    text.replace(at, std::size(kWord) - 1, kWord);
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 409, 219, nullptr, nullptr,
                                  nullptr, nullptr);
    std::vector<double> whole, fetch, search, select, scroll;
    {
        fw::TMemo memo(parent, fw::TMemo::Style{});
        if (!memo.SetText(text)) throw std::runtime_error("the memo did not take 16 Mi");
        TMemoSearch finder;
        finder.SetMemo(&memo);
        finder.HideAfterSearch = false;
        finder.ExecuteFind();
        HWND dialog = finder.DialogHandle();
        if (!dialog) throw std::runtime_error("no Find dialog");
        SetDlgItemTextW(dialog, edt1, reinterpret_cast<LPCWSTR>(kWord));
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        if (finder.SearchString() != kWord) throw std::runtime_error("the first find failed");
        HWND handle = memo.Handle();
        auto toTop = [&] {
            memo.SetSel(0, 0);
            SendMessageA(handle, EM_SCROLLCARET, 0, 0);
        };
        for (int i = 0; i < rounds; ++i) {
            toTop();
            double start = Seconds();
            SendMessageA(handle, WM_KEYDOWN, VK_F3, 0x003D0001);
            whole.push_back(Seconds() - start);
            if (memo.SelStart() != static_cast<int>(at)) throw std::runtime_error("F3 missed");

            toTop();
            start = Seconds();
            const size_t fetched = memo.TextView().View().size();
            fetch.push_back(Seconds() - start);
            bj::LocateRequest request;
            request.memoText = text;
            request.dialogText = kWord;
            bj::SearchState state;
            state.searchString = kWord;
            start = Seconds();
            const bj::LocateOutcome outcome = bj::LocateMatch(state, request);
            search.push_back(Seconds() - start);
            if (!outcome.found || fetched != text.size()) throw std::runtime_error("search parts");
            start = Seconds();
            memo.SetSel(static_cast<int>(at), static_cast<int>(at + std::size(kWord) - 1));
            select.push_back(Seconds() - start);
            start = Seconds();
            SendMessageA(handle, EM_SCROLLCARET, 0, 0);
            scroll.push_back(Seconds() - start);
        }
    }
    DestroyWindow(parent);
    std::fprintf(stderr,
                 "F3 over 16 MiB in the memo: median of %d, microseconds: fetch %.0f, search "
                 "%.0f, select %.0f, scroll %.0f\n",
                 rounds, Median(fetch) * 1e6, Median(search) * 1e6, Median(select) * 1e6,
                 Median(scroll) * 1e6);
    Row("win/F3EndToEnd16MiB [us]", Median(search) * 1e6, Median(whole) * 1e6, 0);
}

int Option(int argc, char** argv, const char* name, int fallback) {
    const size_t length = std::strlen(name);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], name, length) == 0 && argv[i][length] == '=')
            return std::atoi(argv[i] + length + 1);
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = std::max(1, Option(argc, argv, "--rounds", 10));
    const int idleSeconds = std::max(1, Option(argc, argv, "--idle-seconds", 10));
    const bool startUpOnly = Option(argc, argv, "--start-up-only", 0) != 0;
    // --only=NAME runs one group: autosave, startup, note, idle, f3 or large.
    std::string only;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--only=", 7) == 0) only = argv[i] + 7;
    auto run = [&](const char* group) {
        if (startUpOnly) return std::strcmp(group, "startup") == 0;
        return only.empty() || only == group;
    };
    try {
        if (run("autosave")) {
            AutoSaveKeystroke(std::max(rounds, 20),
                              u"The quick brown fox jumps over the lazy dog.\r\n",
                              "win/AutoSaveKeystroke1MiB [us]");
            // A UTF-8 note: accented letters, an arrow and ideographs.
            AutoSaveKeystroke(std::max(rounds, 20),
                              u"Caf\u00E9 na\u00EFve \u2192 \u4E2D\u6587 notes.\r\n",
                              "win/AutoSaveKeystroke1MiBUtf8 [us]");
        }
        if (run("startup")) StartUpAndMemory(rounds);
        if (run("note")) StartUpWithNote(rounds);
        if (run("idle")) IdleCpu(idleSeconds);
        if (run("f3")) SearchAgain16MiB(rounds);
        if (run("large")) StartUpWithLargeNote(rounds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bj_bench_win: %s\n", e.what());
        return 1;
    }
    return 0;
}
