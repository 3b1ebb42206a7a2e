#pragma once
// Shared by the fuzz targets: property checks and a scratch folder for the file-based ones.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// A broken property is a finding: abort so that the fuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

namespace fuzz {

// One folder per process, made on first use; the files put in it are removed with it.
class ScratchFolder {
public:
    static ScratchFolder& Get() {
        static ScratchFolder folder;
        return folder;
    }
    const std::string& Path() const { return path_; }

    std::string WriteFile(const std::string& name, const std::string& bytes) {
        const std::string fileName = path_ + "/" + name;
        std::FILE* file = std::fopen(fileName.c_str(), "wb");
        FUZZ_CHECK(file != nullptr);
        FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
        FUZZ_CHECK(std::fclose(file) == 0);
        Remember(name);
        return fileName;
    }
    void Remember(const std::string& name) {
        if (std::find(names_.begin(), names_.end(), name) == names_.end()) names_.push_back(name);
    }
    void RemoveFiles() {
        for (const std::string& name : names_) std::remove((path_ + "/" + name).c_str());
        names_.clear();
    }

    ~ScratchFolder() {
        RemoveFiles();
        rmdir(path_.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

private:
    ScratchFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/bj-fuzz-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        FUZZ_CHECK(mkdtemp(buffer.data()) != nullptr);
        path_ = buffer.data();
    }

    std::string path_;
    std::vector<std::string> names_;
};

}  // namespace fuzz
