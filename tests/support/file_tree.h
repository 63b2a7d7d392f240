#pragma once
// Lays out files, folders and symlinks for a test, creating parent folders
// as needed; a failure throws, which fails the test.
#include <filesystem>
#include <fstream>

#include "core/text.h"

namespace tolvaren::test {

inline void MakeFolder(const Text& path) { std::filesystem::create_directories(path); }

inline void MakeFile(const Text& path, const Text& bytes) {
    MakeFolder(std::filesystem::path(path).parent_path().string());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
    if (!file.flush()) throw std::runtime_error("cannot write " + path);
}

inline void MakeLink(const Text& link, const Text& target) {
    MakeFolder(std::filesystem::path(link).parent_path().string());
    std::filesystem::create_symlink(target, link);
}

// The path with every symlink followed, as the search reports real paths.
inline Text Canonical(const Text& path) { return std::filesystem::canonical(path).string(); }

}  // namespace tolvaren::test
