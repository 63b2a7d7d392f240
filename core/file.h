#pragma once
// The small file interface the archive rules run over. Implementations open
// existing files only, never share an open file with another process, and
// close on destruction.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/text.h"

namespace tolvaren {

enum class FileAccess { ReadWrite, ReadOnly };

// Why an open failed, as far as the platform tells.
enum class FileError { None, InvalidPath, NotFound, InUse, AccessDenied, Other };

class File {
public:
    virtual ~File() = default;
    // Absolute move to the 0-based `offset`; false leaves the position as it was.
    virtual bool Seek(std::int64_t offset) = 0;
    // Bytes actually read: fewer than asked at the end of the file, 0 on failure.
    virtual std::size_t Read(char* buffer, std::size_t count) = 0;
    // Bytes actually written at the current position.
    virtual std::size_t Write(const char* buffer, std::size_t count) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Null on failure, with the reason in `error`.
    virtual std::unique_ptr<File> Open(const Text& path, FileAccess access,
                                       FileError& error) = 0;
};

// The native file system of the build: Win32 on Windows, POSIX elsewhere.
FileSystem& PlatformFileSystem();

}  // namespace tolvaren
