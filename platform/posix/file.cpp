// Files on POSIX systems. Opening without sharing means: no other process
// has the file open or locked, and while the file stays open, other
// programs' opens wait (platform/posix/in_use.h).
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
        case EACCES: case EPERM: case EROFS: return Reason::AccessDenied;
        case ETXTBSY: return Reason::InUse;
        case EWOULDBLOCK: return Reason::InUse;  // another program holds a lease on it
        case EISDIR: case ENXIO: case ENODEV: return Reason::NotADiskFile;
        default: return Reason::CannotOpen;
    }
}

// Why a read or a write stopped short.
Outcome OutcomeOfFailedTransfer(int error) {
    switch (error) {
        case ENOSPC: case EDQUOT: return Reason::DiskFull;
        case EFBIG: return Reason::FileSizeLimit;
        default: return {Reason::PlatformError, std::strerror(error)};
    }
}

class PosixFile final : public File {
public:
    explicit PosixFile(UniqueFd fd) : fd_(std::move(fd)) {}

    bool Seek(std::int64_t offset) override {
        return offset >= 0 && ::lseek(fd_.get(), offset, SEEK_SET) == offset;
    }
    std::size_t Read(char* buffer, std::size_t count) override {
        ssize_t got;
        do got = ::read(fd_.get(), buffer, count);
        while (got < 0 && errno == EINTR);
        if (got < 0) whyStopped_ = OutcomeOfFailedTransfer(errno);
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    // From the first write until the file is closed (after any undo), the
    // archive is never left half-written by a signal or a file-size limit.
    std::size_t Write(const char* buffer, std::size_t count) override {
        if (!interruptions_) interruptions_.emplace();
        std::size_t total = 0;
        while (total < count) {
            const ssize_t put = ::write(fd_.get(), buffer + total, count - total);
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) whyStopped_ = OutcomeOfFailedTransfer(errno);
            if (put <= 0) break;
            total += static_cast<std::size_t>(put);
        }
        return total;
    }

    Outcome WhyStopped() const override { return whyStopped_; }

    Outcome TakeSoleUse(const struct stat& status) {
        return tolvaren::TakeSoleUse(fd_.get(), status, leaseNotice_);
    }

private:
    // Released in this order: the file first, which ends lease and flock.
    std::optional<SignalIgnored> leaseNotice_;
    std::optional<InterruptionsHeld> interruptions_;
    UniqueFd fd_;
    Outcome whyStopped_;
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
        auto file = std::make_unique<PosixFile>(std::move(fd));
        if (access != FileAccess::SharedRead) {
            if (Outcome sole = file->TakeSoleUse(status); !sole.Done()) return {nullptr, std::move(sole)};
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
