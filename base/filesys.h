#pragma once
// File names and the few file-system services the program needs, over the C library.

#include <string>

#include "base/error.h"

class EInOutError : public bj::Error {
public:
    using bj::Error::Error;
};

#ifdef _WIN32
constexpr char kPathDelimiter = '\\';
#else
constexpr char kPathDelimiter = '/';
#endif

bool IsPathDelimiter(char c);
std::string IncludeTrailingPathDelimiter(const std::string& path);
std::string ExcludeTrailingPathDelimiter(const std::string& path);
// The folder part including its trailing delimiter; empty when the name has none.
std::string ExtractFilePath(const std::string& fileName);
// Replaces everything after the last "." of the name part, or appends the extension.
std::string ChangeFileExt(const std::string& fileName, const std::string& extension);

bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& dir);
// Makes sure every level of dir exists. Throws EInOutError for an empty dir; false when a
// level could not be created.
bool ForceDirectories(const std::string& dir);

std::string GetCurrentDir();
// Resolves name against the current directory and folds "." and ".." away.
std::string ExpandFileName(const std::string& name);

// Switches the process's current directory for its lifetime and switches it back after.
class TCurrentDirScope {
public:
    explicit TCurrentDirScope(const std::string& dir);
    ~TCurrentDirScope();
    TCurrentDirScope(const TCurrentDirScope&) = delete;
    TCurrentDirScope& operator=(const TCurrentDirScope&) = delete;

private:
    std::string previous_;
};
