#pragma once
// The small file interface the archive rules run over. Implementations open
// existing disk files only and close on destruction. An exclusive open fails
// with Reason::InUse while another program has the file open, as far as the
// platform lets us see.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/outcome.h"

namespace tolvaren {

enum class FileAccess {
    ReadWrite,   // without sharing
    ReadOnly,    // without sharing
    SharedRead,  // reading beside whoever else has the file open
};

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
    // Null on failure, with the reason (ArchiveNotFound, InUse, AccessDenied,
    // NotADiskFile or CannotOpen) in `problem`.
    virtual std::unique_ptr<File> Open(const Text& path, FileAccess access, Outcome& problem) = 0;
};

// The native file system of the build: Win32 on Windows, POSIX elsewhere.
FileSystem& PlatformFileSystem();

}  // namespace tolvaren
