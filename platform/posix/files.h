#pragma once
// Read-only looks at the Unix file system, for the search of Wine prefixes.
// Nothing here creates, changes or locks a file, and nothing blocks on a
// FIFO or a device: only regular files are read.
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/file.h"
#include "core/function_ref.h"

namespace tolvaren {

// `folder` + '/' + `name`, without doubling a trailing slash.
Text JoinPath(const Text& folder, const Text& name);

// Something, even a dangling symlink, is there under this name; or
// Unreadable, with the system's words, when that cannot be told (a folder
// on the way may not be searched).
Result<bool> EntryExists(const Text& path);

// A folder, or a symlink that leads to one.
bool IsFolder(const Text& path);

// Every entry of the folder but "." and "..", sorted byte by byte; empty
// when it is not there; Unreadable, with the system's words, when it
// cannot be listed.
Result<List<Text>> EntryNames(const Text& folder);

// The entries that are folders (or lead to one) and are not hidden (no
// leading '.'), as a shell's `folder/*` lists them, sorted byte by byte.
Result<List<Text>> SubfolderNames(const Text& folder);

// The real folder or file behind a path.
Result<FileIdentity> IdentityOf(const Text& path);

// The absolute path with every symlink followed; nothing when any part of
// it is missing.
std::optional<Text> RealPath(const Text& path);

// The components of `path`, split at any of `separators`, without empty
// and "." ones, ".." taking the one before it away (lexically, never above
// where the path starts), as Windows reads a path.
List<Text> PathComponents(std::string_view path, std::string_view separators);

// Each of `components` in turn, from `folder`, as FindIgnoringCase finds them.
Text FollowIgnoringCase(Text folder, const List<Text>& components);

// `relativePath` ('/'-separated) under `folder`, found as Wine finds a
// Windows path: each component as written or, when that is missing, the
// entry of that folder equal to it without regard to ASCII letter case
// (Windows ignores case, Linux folders do not). Past a missing component
// the rest follows as written: a best-effort path to report. An absolute
// `relativePath` is found from the root.
Text FindIgnoringCase(const Text& folder, const Text& relativePath);

// Hands a regular file's bytes to `consume` front to back, in chunks of at
// most kReadChunkSize bytes. Done when every byte was handed over, else
// Unreadable with the system's words (or "Not a regular file"), or
// FileTooLarge past kMaxSearchedFileBytes.
constexpr std::size_t kReadChunkSize = 64 * 1024;
using ChunkConsumer = FunctionRef<void(std::string_view chunk)>;
Outcome ReadRegularFile(const Text& path, ChunkConsumer consume);

}  // namespace tolvaren
