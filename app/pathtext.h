#pragma once
// File-name text rules, as Windows paths are written.

#include <string>

namespace pathtext {

// Everything up to and including the last "\", "/" or ":".
std::string ExtractFilePath(const std::string& fileName);
// Replaces everything after the last "." that follows the last "\", "/" or
// ":", or appends the extension when there is none.
std::string ChangeFileExt(const std::string& fileName, const std::string& extension);

}  // namespace pathtext
