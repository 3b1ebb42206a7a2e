#include "app/notefile.h"

#include <algorithm>
#include <stdexcept>

#include "app/ansicodepage.h"
#include "app/pathtext.h"
#include "framework/unique.h"

namespace notefile {

namespace {

WriteFn& Writer() {
    static WriteFn write = &::WriteFile;
    return write;
}

[[noreturn]] void Fail(const char* what, const std::string& path) {
    throw std::runtime_error(std::string(what) + " " + path + " (error " +
                             std::to_string(GetLastError()) + ")");
}

// Attributes are lifted only when a step is refused: a read-only or hidden file refuses it,
// and in the common case every save is spared the calls.
template <typename Step>
bool WithAttributesLifted(const std::string& path, Step step) {
    if (step()) return true;
    const DWORD error = GetLastError();
    if (FileExists(path)) {
        ResetAttributes(path);
        if (step()) return true;
    }
    SetLastError(error);
    return false;
}

}  // namespace

std::string ExeFolder() {
    char path[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string exe(path, n < sizeof path ? n : 0);
    return pathtext::ExtractFilePath(exe);
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ResetAttributes(const std::string& path) {
    if (FileExists(path)) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE);
}

notecodec::Decoded ReadNote(const std::string& path) {
    // Writers are shut out while we read.
    fw::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail("Cannot open", path);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) Fail("Cannot size", path);
    if (size.QuadPart > 0x7FFFFFFE) throw std::runtime_error("Note file too large: " + path);
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr))
            Fail("Cannot read", path);
        if (got == 0) break;  // the file shrank meanwhile
        done += got;
    }
    bytes.resize(done);
    return notecodec::Decode(bytes, AnsiCodePage());
}

void SetWriteFunction(WriteFn write) {
    Writer() = write ? write : &::WriteFile;
}

void WriteNote(const std::string& path, std::string_view text) {
    const std::string temp = path + ".tmp";
    {
        fw::UniqueHandle file;
        // A leftover from a crash may be read-only.
        WithAttributesLifted(temp, [&] {
            file.reset(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_ARCHIVE, nullptr));
            return static_cast<bool>(file);
        });
        if (!file) Fail("Cannot create", temp);
        bool written = true;
        size_t done = 0;
        while (written && done < text.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 30));
            DWORD wrote = 0;
            written = Writer()(file.get(), text.data() + done, chunk, &wrote, nullptr) && wrote > 0;
            done += wrote;
        }
        // Flushed before it replaces the note, so a power cut leaves old or new text.
        if (!written || !FlushFileBuffers(file.get())) {
            const DWORD error = GetLastError();
            file.reset();
            DeleteFileA(temp.c_str());
            SetLastError(error);
            Fail("Cannot write", temp);
        }
    }
    if (!WithAttributesLifted(path, [&] {
            return MoveFileExA(temp.c_str(), path.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
        })) {
        const DWORD error = GetLastError();
        DeleteFileA(temp.c_str());
        SetLastError(error);
        Fail("Cannot replace", path);
    }
}

}  // namespace notefile
