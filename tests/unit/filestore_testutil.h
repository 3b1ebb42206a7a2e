#pragma once
// Temporary folders and files for the store, context map and persisted-data tests.

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "bjstoreXXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path() const { return path_.string(); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline void WriteTextFile(const std::string& fileName, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(fileName).parent_path());
    std::ofstream(fileName, std::ios::binary) << text;
}

inline std::vector<char> ReadBytes(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Deterministic bytes that deflate only partly, like a compiled help file.
inline std::vector<char> HelpLikePayload(std::size_t size, std::uint32_t seed = 1) {
    static const char kWords[] = "<html><body><p>BriskJot keeps a note in the tray.</p>";
    std::vector<char> bytes(size);
    std::uint32_t state = seed;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        const bool text = (i / 256) % 4 == 0;
        bytes[i] = text ? kWords[i % (sizeof kWords - 1)] : static_cast<char>(state >> 24);
    }
    return bytes;
}
