// Files on POSIX systems: any path the system opens. Opening without sharing
// means: no other process has the file open or locked, and while the file
// stays open, other programs' opens wait (platform/posix/in_use.h).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/file_system.h"
#include "platform/posix/in_use.h"
#include "platform/posix/signals.h"
#include "platform/posix/unique_fd.h"

namespace tolvaren {
namespace {

Reason ReasonFromErrno(int error) {
    switch (error) {
        case ENOENT: case ENOTDIR: return Reason::ArchiveNotFound;
        case EACCES: case EPERM: return Reason::AccessDenied;
        case EROFS: return Reason::ReadOnlyDrive;
        case ETXTBSY: return Reason::InUse;
        case EWOULDBLOCK: return Reason::InUse;  // another program holds a lease on it
        case EISDIR: case ENXIO: case ENODEV: return Reason::NotADiskFile;
        default: return Reason::CannotOpen;
    }
}

// Why a read, a write or a flush stopped short.
Outcome OutcomeOfFailedTransfer(int error) {
    switch (error) {
        case ENOSPC: case EDQUOT: return Reason::DiskFull;
        case EFBIG: return Reason::FileSizeLimit;
        // The kernel could not give the pages of our own buffer: a memory limit.
        case ENOMEM: case EFAULT: return Reason::OutOfMemory;
        default: return {Reason::PlatformError, std::strerror(error)};
    }
}

class PosixFile final : public File {
public:
    PosixFile(UniqueFd fd, const struct stat& status, Text path)
        : fd_(std::move(fd)), path_(std::move(path)), expected_(status) {}
    ~PosixFile() override {
        fd_.reset();  // ends lease and flock before held signals may act
        if (interruptionsHeld_) ReleaseInterruptions();
    }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    bool Seek(std::int64_t offset) override {
        return offset >= 0 && ::lseek(fd_.get(), offset, SEEK_SET) == offset;
    }
    std::size_t Read(char* buffer, std::size_t count) override {
        ssize_t got;
        do got = ::read(fd_.get(), buffer, count);
        while (got < 0 && errno == EINTR);
        if (got < 0) NoteWhyStopped(errno);
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    std::size_t Write(const char* buffer, std::size_t count) override {
        std::size_t total = 0;
        while (total < count) {
            const ssize_t put = ::write(fd_.get(), buffer + total, count - total);
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) NoteWhyStopped(errno);
            if (put <= 0) break;
            total += static_cast<std::size_t>(put);
        }
        // What the file is now, by this process's own hand.
        if (total > 0) ::fstat(fd_.get(), &expected_);
        return total;
    }
    bool Flush() override {
        if (::fdatasync(fd_.get()) == 0) return true;
        NoteWhyStopped(errno);
        return false;
    }

    Outcome WhyStopped() const override { return whyStopped_; }

    std::int64_t Size() const override {
        struct stat now {};
        return ::fstat(fd_.get(), &now) == 0 ? static_cast<std::int64_t>(now.st_size) : -1;
    }

    Outcome Unchanged() const override {
        struct stat named {};
        if (::stat(path_.c_str(), &named) != 0 || named.st_dev != expected_.st_dev ||
            named.st_ino != expected_.st_ino)
            return Reason::ArchiveReplaced;
        return StillSoleUse(fd_.get(), expected_, leaseNotice_.has_value());
    }

    Outcome Caveat() const override { return caveat_; }

    // Signals are held from here on: a process stopped while it holds the
    // lease would keep other programs' opens waiting.
    Outcome TakeSoleUse() {
        HoldInterruptions();
        interruptionsHeld_ = true;
        Result<SoleUse> sole = tolvaren::TakeSoleUse(fd_.get(), expected_, leaseNotice_);
        if (!sole) return sole.Why();
        caveat_ = std::move(sole->caveat);
        return Reason::Done;
    }

private:
    // In the middle of a rewrite, where nothing may throw: without memory
    // for the system's words, the reason alone.
    void NoteWhyStopped(int error) noexcept {
        try {
            whyStopped_ = OutcomeOfFailedTransfer(error);
        } catch (...) {
            whyStopped_ = Outcome(Reason::PlatformError);
        }
    }

    // Released after the file, which ends the lease.
    std::optional<SignalIgnored> leaseNotice_;
    UniqueFd fd_;
    const Text path_;
    struct stat expected_;  // as opened, or as this process last wrote it
    bool interruptionsHeld_ = false;
    Outcome whyStopped_;
    Outcome caveat_;
};

class PosixFileSystem final : public FileSystem {
public:
    OpenedFile Open(const Text& path, FileAccess access) override {
        const int mode = access == FileAccess::ReadWrite ? O_RDWR : O_RDONLY;
        // O_NONBLOCK keeps a FIFO from hanging the open; it is refused below.
        UniqueFd fd(::open(path.c_str(), mode | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (!fd) return {nullptr, ReasonFromErrno(errno)};
        struct stat status {};
        if (::fstat(fd.get(), &status) != 0) return {nullptr, Reason::CannotOpen};
        if (!S_ISREG(status.st_mode)) return {nullptr, Reason::NotADiskFile};
        auto file = std::make_unique<PosixFile>(std::move(fd), status, path);
        if (access != FileAccess::SharedRead) {
            if (Outcome sole = file->TakeSoleUse(); !sole.Done()) return {nullptr, std::move(sole)};
        }
        return {std::move(file), Reason::Done};
    }
};

}  // namespace

FileSystem& PlatformFileSystem() {
    static PosixFileSystem files;
    return files;
}

}  // namespace tolvaren
