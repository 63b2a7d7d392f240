#pragma once
// The small file interface the archive rules run over. Implementations open
// existing disk files only and close on destruction. An open without
// sharing fails with InUse while another program has the file open, as far
// as the platform lets us see.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "core/list.h"
#include "core/result.h"

namespace tolvaren {

enum class FileAccess {
    ReadWrite,   // without sharing
    ReadOnly,    // without sharing
    SharedRead,  // reading beside whoever else has the file open
};

class File {
public:
    virtual ~File() = default;
    // Absolute move to the 0-based `offset`; a failure leaves the position
    // as it was.
    [[nodiscard]] virtual Outcome Seek(std::int64_t offset) = 0;
    // Bytes read: fewer than asked at the end of the file, 0 past it; or
    // why the read failed (DiskFull, OutOfMemory, PlatformError and the like).
    [[nodiscard]] virtual Result<std::size_t> Read(char* buffer, std::size_t count) = 0;
    // Bytes written at the current position, perhaps fewer than asked; or
    // why none could be.
    [[nodiscard]] virtual Result<std::size_t> Write(const char* buffer, std::size_t count) = 0;
    // Puts what was written on the disk itself, so that later writes
    // cannot reach it before it.
    [[nodiscard]] virtual Outcome Flush() { return Reason::Done; }
    // Bytes in the file now.
    [[nodiscard]] virtual Result<std::int64_t> Size() const = 0;
    // Asked before a write begins, between its phases and after its last:
    // Done while no other program has opened, changed or renamed another
    // file over this one since it was opened, or since this process last
    // wrote it; else InUse (with who holds it, where seen) or
    // ArchiveReplaced. Where the platform only delays another program's
    // open (a Linux lease, for 45 seconds), a stalled write may outlive
    // the delay: this tells.
    [[nodiscard]] virtual Outcome Unchanged() const { return Reason::Done; }
    // What a file opened without sharing could not look at to be sure of
    // it: Done, or OthersUnseen / OthersHidden.
    virtual Outcome Caveat() const { return Reason::Done; }

    // Files live on the program's own allocation (see core/text.h).
    static void* operator new(std::size_t bytes) { return AllocateOrGiveUp(bytes); }
    static void operator delete(void* file) noexcept { std::free(file); }
};

// A file's identity: equal identities, the same file, whatever the path.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && index == other.index;
    }
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The file, or why it is not open: ArchiveNotFound, InUse (with who
    // holds it, where the platform can tell), AccessDenied, NotADiskFile,
    // CannotOpen and the like.
    [[nodiscard]] virtual Result<std::unique_ptr<File>> Open(const Text& path, FileAccess access) = 0;
    // A copy of the file kept for this user that programs the platform
    // redirects read instead of it (Windows's VirtualStore); empty when
    // there is none.
    virtual Text VirtualizedCopyOf(const Text&) { return Text(); }

    // For the search of installed games, which only reads.
    //
    // What `relative` ('/'-separated) names under `folder`, or from the
    // root where it is absolute, as this platform finds names: on Linux a
    // missing component is found without regard to ASCII letter case
    // (Windows ignores case, and folders shared with it keep their
    // spelling); where nothing is found, the path as written, for a message.
    virtual Text PathIn(const Text& folder, const Text& relative) = 0;
    // Whether `path` names a place without a folder to start from.
    virtual bool IsAbsolute(const Text& path) const = 0;
    // Whether this platform's 8-bit names are UTF-8, rather than text in an
    // older code page, where other bytes are control characters.
    virtual bool NamesAreUtf8() const { return true; }
    // A path read from a UTF-8 file, as this platform's 8-bit calls take it;
    // NotSpellable where their code page has no letter for one of its own.
    [[nodiscard]] virtual Result<Text> PathFromUtf8(const Text& utf8) const { return utf8; }
    // The subfolders of `folder` that are not hidden, sorted by name; or why
    // it cannot be listed (nothing there is an empty list).
    [[nodiscard]] virtual Result<List<Text>> SubfolderNames(const Text& folder) = 0;
    // What `path` leads to.
    [[nodiscard]] virtual Result<FileIdentity> IdentityOf(const Text& path) = 0;
    // Whether two paths of files that are not there name the same.
    virtual bool SamePath(const Text& a, const Text& b) { return a == b; }
    // The whole of a small text file (a list of libraries); a missing one
    // reads as empty, naming nothing. Else Unreadable (with the platform's
    // words), or FileTooLarge past kMaxSearchedFileBytes.
    [[nodiscard]] virtual Result<Text> ReadTextFile(const Text& path) = 0;
};

// The files the search reads hold a few MiB at most; a larger one would cost
// seconds and memory, and is not read.
constexpr std::uint64_t kMaxSearchedFileBytes = 64 << 20;
// Wine writes long values over several lines; a registry file's line longer
// than this is not a registry's, and is not worth the memory.
constexpr std::size_t kMaxRegistryLineBytes = 1 << 20;

}  // namespace tolvaren
