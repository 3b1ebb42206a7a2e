#include "components/links/progversion.h"

#include <windows.h>

#include <vector>

#include "framework/libraryfunction.h"

namespace {

// Loaded at run time: an imported version.dll would be searched for beside the program first.
struct VersionLibrary {
    decltype(&GetFileVersionInfoSizeA) infoSize =
        fw::LibraryFunction<decltype(infoSize)>("version.dll", "GetFileVersionInfoSizeA");
    decltype(&GetFileVersionInfoA) info =
        fw::LibraryFunction<decltype(info)>("version.dll", "GetFileVersionInfoA");
    decltype(&VerQueryValueA) query =
        fw::LibraryFunction<decltype(query)>("version.dll", "VerQueryValueA");
};

std::string RunningExePath() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return "";
        // A full buffer may hold a cut path: grow and ask again.
        if (n < path.size()) return std::string(path.data(), n);
        if (path.size() >= 32768) return "";
        path.resize(path.size() * 2);
    }
}

links::VersionStrings ReadProductVersion(const std::string& file) {
    static const VersionLibrary library;
    if (file.empty() || !library.infoSize || !library.info || !library.query) return {};
    DWORD ignored = 0;
    const DWORD size = library.infoSize(file.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<char> block(size);
    if (!library.info(file.c_str(), 0, size, block.data())) return {};
    void* value = nullptr;
    UINT length = 0;
    char root[] = "\\";
    if (!library.query(block.data(), root, &value, &length) || !value ||
        length < sizeof(VS_FIXEDFILEINFO))
        return {};
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    return links::FormatProductVersion(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
}

}  // namespace

TProgVersion::TProgVersion() : TProgVersion(RunningExePath()) {}

TProgVersion::TProgVersion(const std::string& moduleFile) : text_(ReadProductVersion(moduleFile)) {}
