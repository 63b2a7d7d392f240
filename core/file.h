#pragma once
// The small file interface the archive rules run over. Implementations open
// existing disk files only and close on destruction. An open without
// sharing fails with InUse while another program has the file open, as far
// as the platform lets us see.
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
    // Puts what was written on the disk itself, so that later writes
    // cannot reach it before it; false (with WhyStopped) when that failed.
    virtual bool Flush() { return true; }
    // Why the last read, write or flush stopped short, where the platform
    // said: DiskFull, FileSizeLimit, OutOfMemory, PlatformError and the like.
    virtual Outcome WhyStopped() const { return Reason::Done; }
    // Bytes in the file now; negative when the platform cannot tell.
    virtual std::int64_t Size() const = 0;
    // Asked before a write begins, between its phases and after its last:
    // Done while no other program has opened, changed or renamed another
    // file over this one since it was opened, or since this process last
    // wrote it; else InUse (with who holds it, where seen) or
    // ArchiveReplaced. Where the platform only delays another program's
    // open (a Linux lease, for 45 seconds), a stalled write may outlive
    // the delay: this tells.
    virtual Outcome Unchanged() const { return Reason::Done; }
    // What a file opened without sharing could not look at to be sure of
    // it: Done, or OthersUnseen / OthersHidden.
    virtual Outcome Caveat() const { return Reason::Done; }
};

// The file, or why it is not open: ArchiveNotFound, InUse (with who holds
// it, where the platform can tell), AccessDenied, NotADiskFile or CannotOpen.
struct OpenedFile {
    std::unique_ptr<File> file;  // null unless `outcome` is Done
    Outcome outcome;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual OpenedFile Open(const Text& path, FileAccess access) = 0;
    // A copy of the file kept for this user that programs the platform
    // redirects read instead of it (Windows's VirtualStore); empty when
    // there is none.
    virtual Text VirtualizedCopyOf(const Text&) { return Text(); }
};

}  // namespace tolvaren
