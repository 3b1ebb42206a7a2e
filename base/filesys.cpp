#include "base/filesys.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdlib>
#include <vector>

#ifdef _WIN32
#include <direct.h>
#else
#include <unistd.h>
#endif

namespace {

const char kUnableToCreateDir[] = "Unable to create directory";
constexpr char kFolderEnds[] = "\\/:";

#ifdef _WIN32
// The 64-bit form: the plain one fails on files over 2 GiB in 32-bit programs.
using TStat = struct _stat64;
bool StatPath(const std::string& path, TStat& info) {
    return !path.empty() && ::_stat64(path.c_str(), &info) == 0;
}
#else
using TStat = struct stat;
bool StatPath(const std::string& path, TStat& info) {
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}
#endif

bool IsDriveRoot(const std::string& dir) {
#ifdef _WIN32
    return dir.size() == 3 && dir[1] == ':' && IsPathDelimiter(dir[2]);
#else
    return dir == "/";
#endif
}

bool CreateDir(const std::string& dir) {
#ifdef _WIN32
    return ::_mkdir(dir.c_str()) == 0;
#else
    return ::mkdir(dir.c_str(), 0777) == 0;
#endif
}

}  // namespace

bool IsPathDelimiter(char c) {
#ifdef _WIN32
    // Windows takes a forward slash as a separator too.
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
    if (!path.empty() && IsPathDelimiter(path.back())) return path;
    return path + kPathDelimiter;
}

std::string ExcludeTrailingPathDelimiter(const std::string& path) {
    std::string result = path;
    while (!result.empty() && IsPathDelimiter(result.back())) result.pop_back();
    return result;
}

// Windows' rules on every platform: the names come from Windows programs and help files.
std::string ExtractFilePath(const std::string& fileName) {
    const std::size_t slash = fileName.find_last_of(kFolderEnds);
    return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

std::string ChangeFileExt(const std::string& fileName, const std::string& extension) {
    const std::size_t slash = fileName.find_last_of(kFolderEnds);
    const std::size_t dot = fileName.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? fileName.substr(0, dot) : fileName) + extension;
}

bool FileExists(const std::string& fileName) {
    TStat info{};
    return StatPath(fileName, info) && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& dir) {
    TStat info{};
    // The Windows runtime refuses a trailing delimiter except on a root.
    const std::string bare = IsDriveRoot(dir) ? dir : ExcludeTrailingPathDelimiter(dir);
    return StatPath(bare.empty() ? dir : bare, info) && S_ISDIR(info.st_mode);
}

bool ForceDirectories(const std::string& dir) {
    if (dir.empty()) throw EInOutError(kUnableToCreateDir);
    if (dir.size() < 3 || IsDriveRoot(dir) || DirectoryExists(dir)) return true;
    const std::string bare = ExcludeTrailingPathDelimiter(dir);
    if (bare.empty()) return true;
    const std::string parent = ExtractFilePath(bare);
    // A relative name without a folder part hangs off the current directory, which exists.
    if (!parent.empty() && parent != dir && !ForceDirectories(parent)) return false;
    return CreateDir(bare);
}

std::string GetCurrentDir() {
    std::vector<char> buffer(4096);
#ifdef _WIN32
    if (::_getcwd(buffer.data(), static_cast<int>(buffer.size())) == nullptr) return std::string();
#else
    if (::getcwd(buffer.data(), buffer.size()) == nullptr) return std::string();
#endif
    return buffer.data();
}

std::string ExpandFileName(const std::string& name) {
#ifdef _WIN32
    char* full = ::_fullpath(nullptr, name.c_str(), 0);
    if (full == nullptr) return name;
    std::string result = full;
    std::free(full);
    return result;
#else
    const std::string joined =
        (!name.empty() && name[0] == '/') ? name : GetCurrentDir() + "/" + name;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t end = joined.find('/', start);
        if (end == std::string::npos) end = joined.size();
        const std::string part = joined.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result;
    for (const std::string& part : parts) result += "/" + part;
    if (result.empty() || (!joined.empty() && joined.back() == '/' && result != "/")) result += "/";
    return result;
#endif
}

namespace {

bool ChangeDir(const std::string& dir) {
#ifdef _WIN32
    return ::_chdir(dir.c_str()) == 0;
#else
    return ::chdir(dir.c_str()) == 0;
#endif
}

}  // namespace

TCurrentDirScope::TCurrentDirScope(const std::string& dir) {
    if (dir.empty()) return;
    previous_ = GetCurrentDir();
    // Without the old directory we could not switch back, so do not switch at all.
    if (previous_.empty() || !ChangeDir(dir)) {
        previous_.clear();
        throw EInOutError("Cannot change to directory \"" + dir + "\"");
    }
}

TCurrentDirScope::~TCurrentDirScope() {
    // Nothing sensible is left to do when the old directory has vanished meanwhile.
    if (!previous_.empty() && !ChangeDir(previous_)) previous_.clear();
}
