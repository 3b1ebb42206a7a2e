#include "components/links/progversion.h"

#include <windows.h>

#include <vector>

#include "framework/application.h"
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

TProgVersion::TProgVersion() : TProgVersion(fw::Application.ExeName()) {}

TProgVersion::TProgVersion(const std::string& moduleFile) : text_(ReadProductVersion(moduleFile)) {}
