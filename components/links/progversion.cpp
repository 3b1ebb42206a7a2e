#include "components/links/progversion.h"

#include <windows.h>

#include <vector>

namespace {

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
    if (file.empty()) return {};
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(file.c_str(), 0, size, block.data())) return {};
    void* value = nullptr;
    UINT length = 0;
    char root[] = "\\";
    if (!VerQueryValueA(block.data(), root, &value, &length) || !value ||
        length < sizeof(VS_FIXEDFILEINFO))
        return {};
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    return links::FormatProductVersion(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
}

}  // namespace

TProgVersion::TProgVersion() : TProgVersion(RunningExePath()) {}

TProgVersion::TProgVersion(const std::string& moduleFile) : text_(ReadProductVersion(moduleFile)) {}
