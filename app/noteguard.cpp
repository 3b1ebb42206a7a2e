#include "app/noteguard.h"

#include <windows.h>

#include "base/error.h"
#include "base/filesys.h"
#include "framework/unique.h"

namespace {

std::uint64_t Join(DWORD high, DWORD low) {
    return (std::uint64_t{high} << 32) | low;
}

std::uint64_t Now() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return Join(now.dwHighDateTime, now.dwLowDateTime);
}

noteidentity::FileFacts Facts(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    // Gone, or its folder unreachable: either way there is no note to overwrite unseen.
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A link's own size and time say nothing of the note it leads to: ask the note.
        fw::UniqueHandle file(CreateFileA(path.c_str(), 0,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
        BY_HANDLE_FILE_INFORMATION info;
        if (!file || !GetFileInformationByHandle(file.get(), &info)) return {};
        return {true, Join(info.nFileSizeHigh, info.nFileSizeLow),
                Join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)};
    }
    return {true, Join(data.nFileSizeHigh, data.nFileSizeLow),
            Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
}

// The file's bytes as they stand, or false when it cannot be read now.
bool ReadBytes(const std::string& path, std::string& bytes) {
    fw::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFE) return false;
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        return false;
    bytes.resize(got);
    return true;
}

std::string CopyPath(const std::string& notePath) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char name[] = "BriskJot (changed elsewhere 0000-00-00 00-00-00)";
    char* digit = name + sizeof name - 3;  // the last digit, before ")" and the NUL
    const int fields[] = {t.wSecond, t.wMinute, t.wHour, t.wDay, t.wMonth, t.wYear};
    for (int i = 0; i < 6; ++i) {
        for (int n = fields[i], width = i == 5 ? 4 : 2; width > 0; --width, n /= 10)
            *digit-- = static_cast<char>('0' + n % 10);
        --digit;  // the separator
    }
    const std::string stem = ExtractFilePath(notePath) + name;
    // Two copies in one second must not overwrite each other.
    std::string path = stem + ".txt";
    for (int n = 2; GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
        path = stem + " " + std::to_string(n) + ".txt";
    return path;
}

}  // namespace

TNoteGuard::TNoteGuard(std::string notePath) : path_(std::move(notePath)) {
    notefile::SetObserver(this);
}

TNoteGuard::~TNoteGuard() {
    notefile::SetObserver(nullptr);
}

noteidentity::Change TNoteGuard::Check() {
    const std::uint64_t now = Now();
    return known_.Check(Facts(path_), now, [&]() -> std::optional<std::uint64_t> {
        std::string bytes;
        if (!ReadBytes(path_, bytes)) return std::nullopt;
        return noteidentity::HashBytes(bytes);
    });
}

void TNoteGuard::Remember(std::string_view bytes) {
    const std::uint64_t now = Now();
    known_.Remember(Facts(path_), now, [&] { return noteidentity::HashBytes(bytes); });
}

void TNoteGuard::Read(const std::string& path, std::string_view bytes) {
    if (path == path_) Remember(bytes);
}

void TNoteGuard::Written(const std::string& path, std::string_view bytes) {
    if (path == path_) Remember(bytes);
}

bool TNoteGuard::BeforeReplace(const std::string& path) {
    return path != path_ || Check() != noteidentity::Change::Elsewhere || KeepOtherVersion();
}

bool TNoteGuard::KeepOtherVersion() {
    const std::uint64_t now = Now();
    const noteidentity::FileFacts facts = Facts(path_);
    std::string other;
    if (!ReadBytes(path_, other)) return false;
    const std::string copy = CopyPath(path_);
    try {
        notefile::WriteNote(copy, other);
    } catch (const bj::Error&) {
        return false;  // the save fails as a whole and says so
    }
    // Kept: a save that fails after this and is tried again makes no second copy.
    known_.Remember(facts, now, [&] { return noteidentity::HashBytes(other); });
    if (OnCopyKept) OnCopyKept(copy);
    return true;
}
