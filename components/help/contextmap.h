#pragma once
// THelpContextMap: the help project's context names, hashed, with their help numbers.

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/stream.h"

class EHelpContextMapError : public bj::Error {
public:
    using bj::Error::Error;
};

struct THelpContext {
    std::int32_t Hash;
    std::int32_t Number;
};

class THelpContextMap {
public:
    using TMessageEvent = std::function<void(const std::string& message)>;

    // While one of these lives, assigning FileName only records the name.
    class TLoadingScope {
    public:
        explicit TLoadingScope(THelpContextMap& map) : map_(map) { ++map_.loading_; }
        ~TLoadingScope() { --map_.loading_; }
        TLoadingScope(const TLoadingScope&) = delete;
        TLoadingScope& operator=(const TLoadingScope&) = delete;

    private:
        THelpContextMap& map_;
    };

    const std::string& FileName() const { return fileName_; }
    // Outside loading, a non-empty name rebuilds the map from that help project.
    void SetFileName(const std::string& fileName);
    // The name as stored data gives it, taken without reading the project: a reader of stored
    // data then carries no project parser.
    void TakeFileName(const std::string& fileName) { fileName_ = fileName; }

    // Appends the (hash, number) pairs that fileName yields to the pair list.
    void ParseHelpProject(const std::string& fileName, bool included);
    const std::vector<THelpContext>& List() const { return list_; }

    // The persisted "FileData" bytes: pairs sorted by signed hash, 4 bytes LE each.
    const std::vector<char>& FileData() const { return fileData_; }
    std::vector<THelpContext> Contexts() const;
    void ReadFileData(TStream& stream);
    void WriteFileData(TStream& stream) const;

    // Takes FileName, the pair list and FileData of source; its handlers stay.
    void AssignData(const THelpContextMap& source);

    // Shows the "Include file ... not found!" error; the portable code cannot show boxes.
    TMessageEvent OnError;
    // Told "Help context list updated. N items stored." after a build.
    TMessageEvent OnInformation;

private:
    // openFiles: the include chain being read; readFiles: every file read so far, lower case.
    void Parse(const std::string& fileName, bool included, std::vector<std::string>& openFiles,
               std::set<std::string>& readFiles);

    std::string fileName_;
    std::vector<THelpContext> list_;
    std::vector<char> fileData_;
    int loading_ = 0;
};
