#pragma once
// Whole-file reads, writes and listings for the Windows tests, in-process and end to end.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace testfiles {

// Settings many tests start from: AutoSave on, everything else as on a first run.
inline constexpr char kAutoSaveOn[] = "AutoSave Memo=1\r\n";
// The caption of the box a failed save shows.
inline constexpr char kErrorOnSave[] = "BriskJot - Error On Save";

// The bytes of a file, or "<missing>"; others may hold it open meanwhile.
inline std::string ReadFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

// Creates or replaces the file, lifting a read-only mark first.
inline void WriteFile(const std::string& path, const std::string& bytes) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD wrote = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
    CloseHandle(file);
}

// Names of the files in folder (with its trailing backslash) that match the pattern.
inline std::vector<std::string> FilesIn(const std::string& folder, const char* pattern = "*") {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + pattern).c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return names;
}

// Puts text (or, for null, nothing) on the clipboard, waiting a bounded time for another
// program to let it go.
inline void SetClipboardText(HWND owner, const char* text) {
    bool open = false;
    for (int tries = 0; tries < 250 && !(open = OpenClipboard(owner)); ++tries) Sleep(20);
    ASSERT_TRUE(open);
    EmptyClipboard();
    if (text) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, lstrlenA(text) + 1);
        lstrcpyA(static_cast<char*>(GlobalLock(memory)), text);
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
    }
    CloseClipboard();
}

// The copies a save keeps of a note changed by another program.
inline constexpr char kChangedElsewhereCopies[] = "BriskJot (changed elsewhere *).txt";

}  // namespace testfiles
