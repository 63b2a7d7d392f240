// Files on POSIX systems. Opening without sharing means: no other process has
// the file open or locked (programs under Wine get no enforced sharing modes,
// so this is how a running game is seen), and an exclusive flock tells
// cooperating programs that we have it.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "core/file.h"
#include "core/posix_file_holders.h"

namespace tolvaren {
namespace {

Reason ReasonFromErrno(int error) {
    switch (error) {
        case ENOENT: case ENOTDIR: return Reason::ArchiveNotFound;
        case EACCES: case EPERM: case EROFS: return Reason::AccessDenied;
        case ETXTBSY: return Reason::InUse;
        case EISDIR: case ENXIO: case ENODEV: return Reason::NotADiskFile;
        default: return Reason::CannotOpen;
    }
}

// From the first write until the file is closed (after any undo), signals
// that would end the process are held back, and a write past the file-size
// limit fails instead of killing it: the archive is never left half-written.
class InterruptionsHeld {
public:
    InterruptionsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaddset(&held, signal);
        sigprocmask(SIG_BLOCK, &held, &previousMask_);
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &previousFileSizeAction_);
    }
    ~InterruptionsHeld() {
        sigaction(SIGXFSZ, &previousFileSizeAction_, nullptr);
        sigprocmask(SIG_SETMASK, &previousMask_, nullptr);  // delivers what was held
    }
    InterruptionsHeld(const InterruptionsHeld&) = delete;
    InterruptionsHeld& operator=(const InterruptionsHeld&) = delete;

private:
    sigset_t previousMask_;
    struct sigaction previousFileSizeAction_;
};

class PosixFile final : public File {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { ::close(fd_); }  // before interruptions_ is released
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    bool Seek(std::int64_t offset) override {
        return offset >= 0 && ::lseek(fd_, offset, SEEK_SET) == offset;
    }
    std::size_t Read(char* buffer, std::size_t count) override {
        ssize_t got;
        do got = ::read(fd_, buffer, count);
        while (got < 0 && errno == EINTR);
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    std::size_t Write(const char* buffer, std::size_t count) override {
        if (!interruptions_) interruptions_.emplace();
        std::size_t total = 0;
        while (total < count) {
            const ssize_t put = ::write(fd_, buffer + total, count - total);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) break;
            total += static_cast<std::size_t>(put);
        }
        return total;
    }

private:
    std::optional<InterruptionsHeld> interruptions_;
    int fd_;
};

// Another process's fcntl lock on any part of the file, if there is one.
std::optional<pid_t> RecordLockHolder(int fd) {
    struct flock probe {};
    probe.l_type = F_WRLCK;  // conflicts with every lock
    probe.l_whence = SEEK_SET;
    if (::fcntl(fd, F_GETLK, &probe) != 0 || probe.l_type == F_UNLCK) return std::nullopt;
    return probe.l_pid;  // -1 for an open file description lock
}

enum class OtherOpens { None, Some, Unknown };

// Linux grants a write lease only while no other process has the file open:
// one call answers what would otherwise take a look through every process.
// Held for no longer than the test; a break notice meanwhile is ignored.
OtherOpens OtherOpensByLease(int fd) {
#ifdef F_SETLEASE
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGIO, &ignore, &previous);
    const bool granted = ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0;
    const int error = errno;
    if (granted) ::fcntl(fd, F_SETLEASE, F_UNLCK);
    sigaction(SIGIO, &previous, nullptr);
    if (granted) return OtherOpens::None;
    if (error == EAGAIN) return OtherOpens::Some;
#else
    (void)fd;
#endif
    return OtherOpens::Unknown;  // not the file's owner, or no leases here
}

// Empty when nobody else has the file; else why it counts as in use.
std::optional<Outcome> OtherUse(int fd, const struct stat& status) {
    const bool flocked = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    const std::optional<pid_t> recordLocker = RecordLockHolder(fd);
    const OtherOpens opens = OtherOpensByLease(fd);
    if (!flocked && !recordLocker && opens == OtherOpens::None) return std::nullopt;
    Text holders = OtherProcessesHolding(status.st_dev, status.st_ino);
    if (holders.empty() && recordLocker && *recordLocker > 0) holders = DescribeProcess(*recordLocker);
    if (!flocked && !recordLocker && opens == OtherOpens::Unknown && holders.empty())
        return std::nullopt;
    return Outcome(Reason::InUse, holders);
}

class PosixFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> Open(const Text& path, FileAccess access, Outcome& problem) override {
        const int mode = access == FileAccess::ReadWrite ? O_RDWR : O_RDONLY;
        // O_NONBLOCK keeps a FIFO from hanging the open; it is refused below.
        const int fd = ::open(path.c_str(), mode | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) {
            problem = ReasonFromErrno(errno);
            return nullptr;
        }
        auto file = std::make_unique<PosixFile>(fd);
        struct stat status {};
        if (::fstat(fd, &status) != 0) {
            problem = Reason::CannotOpen;
            return nullptr;
        }
        if (!S_ISREG(status.st_mode)) {
            problem = Reason::NotADiskFile;
            return nullptr;
        }
        if (access != FileAccess::SharedRead) {
            if (std::optional<Outcome> inUse = OtherUse(fd, status)) {
                problem = std::move(*inUse);
                return nullptr;
            }
        }
        problem = Reason::Done;
        return file;
    }
};

}  // namespace

FileSystem& PlatformFileSystem() {
    static PosixFileSystem files;
    return files;
}

}  // namespace tolvaren
