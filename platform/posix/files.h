#pragma once
// Read-only looks at the Unix file system, for the search of Wine prefixes.
// Nothing here creates, changes or locks a file, and nothing blocks on a
// FIFO or a device: only regular files are read.
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "core/outcome.h"

namespace tolvaren {

// `folder` + '/' + `name`, without doubling a trailing slash.
Text JoinPath(const Text& folder, const Text& name);

// Something, even a dangling symlink, is there under this name. When that
// cannot be told (a folder on the way may not be searched), false, and
// `whyUnknown` (if given) is Unreadable with the system's words.
bool EntryExists(const Text& path, Outcome* whyUnknown = nullptr);

// A folder, or a symlink that leads to one.
bool IsFolder(const Text& path);

// Every entry of the folder but "." and "..", sorted byte by byte; empty
// when it cannot be listed, and then, unless it is simply not there,
// `whyUnlisted` (if given) is Unreadable with the system's words.
std::vector<Text> EntryNames(const Text& folder, Outcome* whyUnlisted = nullptr);

// The entries that are folders (or lead to one) and are not hidden (no
// leading '.'), as a shell's `folder/*` lists them, sorted byte by byte.
std::vector<Text> SubfolderNames(const Text& folder, Outcome* whyUnlisted = nullptr);

// The real folder or file behind a path: equal identities, same thing.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity& other) const {
        return device == other.device && inode == other.inode;
    }
};
std::optional<FileIdentity> IdentityOf(const Text& path);

// The absolute path with every symlink followed; nullopt when any part of
// it is missing.
std::optional<Text> RealPath(const Text& path);

// Hands a regular file's bytes to `consume` front to back, in chunks of at
// most kReadChunkSize bytes. Done when every byte was handed over, else
// Unreadable with the system's words (or "Not a regular file"). A file
// larger than kMaxSearchedFileBytes is not read: the files the search reads
// hold a few MiB at most, and a larger one would cost seconds and memory.
constexpr std::size_t kReadChunkSize = 64 * 1024;
constexpr std::uint64_t kMaxSearchedFileBytes = 64 << 20;
using ChunkConsumer = std::function<void(std::string_view chunk)>;
Outcome ReadRegularFile(const Text& path, const ChunkConsumer& consume);

}  // namespace tolvaren
