#include "app/pathtext.h"

namespace pathtext {

namespace {
constexpr char kDelimiters[] = "\\/:";
}

std::string ExtractFilePath(const std::string& fileName) {
    const size_t slash = fileName.find_last_of(kDelimiters);
    return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

std::string ChangeFileExt(const std::string& fileName, const std::string& extension) {
    const size_t slash = fileName.find_last_of(kDelimiters);
    const size_t dot = fileName.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? fileName.substr(0, dot) : fileName) + extension;
}

}  // namespace pathtext
