#pragma once
// Lays out files, folders and symlinks for a test, creating parent folders
// as needed; a failure throws, which fails the test.
#include <filesystem>
#include <fstream>

#include "core/text.h"

namespace tolvaren::test {

inline void MakeFolder(const Text& path) { std::filesystem::create_directories(path.c_str()); }

inline void MakeFile(const Text& path, const Text& bytes) {
    MakeFolder(Text(std::filesystem::path(path.c_str()).parent_path().string()));
    std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
    file << bytes;
    if (!file.flush()) throw std::runtime_error("cannot write " + std::string(path));
}

inline void MakeLink(const Text& link, const Text& target) {
    MakeFolder(Text(std::filesystem::path(link.c_str()).parent_path().string()));
    std::filesystem::create_symlink(target.c_str(), link.c_str());
}

// The path with every symlink followed, as the search reports real paths.
inline Text Canonical(const Text& path) { return Text(std::filesystem::canonical(path.c_str()).string()); }

}  // namespace tolvaren::test
