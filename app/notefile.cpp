#include "app/notefile.h"

#include <algorithm>

#include "app/ansicodepage.h"
#include "base/error.h"
#include "base/filesys.h"
#include "framework/application.h"
#include "framework/unique.h"

namespace notefile {

namespace {

constexpr char kTemporarySuffix[] = ".tmp";

WriteFn& Writer() {
    static WriteFn write = &::WriteFile;
    return write;
}

Observer*& TheObserver() {
    static Observer* observer = nullptr;
    return observer;
}

[[noreturn]] void Fail(const char* what, const std::string& path) {
    throw bj::Error(std::string(what) + " " + path + " (error " + std::to_string(GetLastError()) +
                    ")");
}

// Held by another program: neither lifting attributes nor a rename gets past that.
bool HeldByAnother(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_UNABLE_TO_REMOVE_REPLACED || error == ERROR_USER_MAPPED_FILE;
}

// Attributes are lifted only when a step is refused: a read-only or hidden file refuses it,
// and in the common case every save is spared the calls.
template <typename Step>
bool WithAttributesLifted(const std::string& path, Step step) {
    if (step()) return true;
    const DWORD error = GetLastError();
    if (!HeldByAnother(error) && FileExists(path)) {
        ResetAttributes(path);
        if (step()) return true;
    }
    SetLastError(error);
    return false;
}

}  // namespace

std::string ExeFolder() {
    return ExtractFilePath(fw::Application.ExeName());
}

void ResetAttributes(const std::string& path) {
    if (FileExists(path)) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE);
}

void FinishInterruptedSave(const std::string& path) {
    const std::string temp = path + kTemporarySuffix;
    // A failure leaves the temporary file for the next start.
    if (!FileExists(path) && FileExists(temp)) MoveFileExA(temp.c_str(), path.c_str(), 0);
}

namespace {

std::string ReadBytes(const std::string& path, Observer* tell) {
    // Writers are shut out while we read.
    fw::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail("Cannot open", path);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) Fail("Cannot size", path);
    if (size.QuadPart > 0x7FFFFFFE) throw bj::Error("Note file too large: " + path);
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
    if (tell) tell->Read(path, bytes);  // still open: nobody wrote meanwhile
    return bytes;
}

}  // namespace

notecodec::Decoded ReadNote(const std::string& path) {
    return notecodec::Decode(ReadBytes(path, TheObserver()), AnsiCodePage());
}

void KeepCopy(const std::string& path, const std::string& copyPath) {
    if (FileExists(path)) WriteNote(copyPath, ReadBytes(path, nullptr));
}

void SetObserver(Observer* observer) {
    TheObserver() = observer;
}

void SetWriteFunction(WriteFn write) {
    Writer() = write ? write : &::WriteFile;
}

namespace {

// ReplaceFileA hands the note's security, creation time and streams on to the new
// text; a plain rename is the way left where it is refused (no note yet, a file system
// without it) for any reason but the note being held.
void ReplaceWithTemporary(const std::string& note, const std::string& temp) {
    bool replaced = WithAttributesLifted(note, [&] {
        return ReplaceFileA(note.c_str(), temp.c_str(), nullptr,
                            REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS,
                            nullptr, nullptr) != FALSE;
    });
    if (!replaced && !HeldByAnother(GetLastError())) {
        replaced = WithAttributesLifted(note, [&] {
            return MoveFileExA(temp.c_str(), note.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
        });
    }
    if (!replaced) {
        const DWORD error = GetLastError();
        // Refused halfway, ReplaceFileA may have taken the note away: then the temporary file
        // is all there is, for the next start.
        if (FileExists(note)) DeleteFileA(temp.c_str());
        SetLastError(error);
        Fail("Cannot replace", note);
    }
}

}  // namespace

void WriteNote(const std::string& path, std::string_view text) {
    const std::string target = SaveTarget(path);
    const std::string temp = target + kTemporarySuffix;
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
    if (TheObserver() && !TheObserver()->BeforeReplace(path)) {
        DeleteFileA(temp.c_str());
        Fail("Cannot keep the other version of", path);
    }
    ReplaceWithTemporary(target, temp);
    if (TheObserver()) TheObserver()->Written(path, text);
}

std::string SaveTarget(const std::string& path) {
    // No data access asked: another program's sharing mode does not stop this open.
    fw::UniqueHandle file(CreateFileA(path.c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return path;  // no note yet, or none to follow
    std::string target(MAX_PATH, '\0');
    for (;;) {
        const DWORD size =
            GetFinalPathNameByHandleA(file.get(), target.data(), static_cast<DWORD>(target.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (size == 0) return path;  // a file system that cannot tell: the note as named
        if (size < target.size()) return target.substr(0, size);
        target.resize(size);  // too small: size counts the terminating NUL
    }
}

}  // namespace notefile
