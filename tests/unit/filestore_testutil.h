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

struct TempDir {
    std::string path_ = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "bjstoreXXXXXX").string();
        return mkdtemp(pattern.data()) ? pattern : throw std::runtime_error("mkdtemp failed");
    }();
    TempDir() = default;
    TempDir(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
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
inline std::vector<char> HelpLikePayload(std::size_t size, std::uint32_t state = 1) {
    std::vector<char> bytes(size);
    for (std::size_t i = 0; i < size; ++i, state = state * 1664525u + 1013904223u)
        bytes[i] = (i / 256) % 4 == 0 ? "<p>BriskJot notes</p>"[i % 20] : char(state >> 24);
    return bytes;
}
