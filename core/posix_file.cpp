// Files on POSIX systems. Opening without sharing means: no other process has
// the file open or locked (programs under Wine get no enforced sharing modes,
// so this is how a running game is seen). Then, while the file stays open, a
// write lease makes any other program's open wait until it is closed, and an
// exclusive flock tells cooperating programs that we have it.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "core/file.h"
#include "core/posix_file_holders.h"
#include "core/unique_posix.h"

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

class SignalIgnored {
public:
    explicit SignalIgnored(int signal) : signal_(signal) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(signal_, &ignore, &previous_);
    }
    ~SignalIgnored() { sigaction(signal_, &previous_, nullptr); }
    SignalIgnored(const SignalIgnored&) = delete;
    SignalIgnored& operator=(const SignalIgnored&) = delete;

private:
    int signal_;
    struct sigaction previous_;
};

// From the first write until the file is closed (after any undo), signals
// that would end the process are held back, and a write past the file-size
// limit fails instead of killing it: the archive is never left half-written.
class InterruptionsHeld {
public:
    InterruptionsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) sigaddset(&held, signal);
        sigprocmask(SIG_BLOCK, &held, &previousMask_);
    }
    ~InterruptionsHeld() { sigprocmask(SIG_SETMASK, &previousMask_, nullptr); }  // delivers what was held
    InterruptionsHeld(const InterruptionsHeld&) = delete;
    InterruptionsHeld& operator=(const InterruptionsHeld&) = delete;

private:
    SignalIgnored fileSizeLimit_{SIGXFSZ};
    sigset_t previousMask_;
};

enum class OtherOpens { None, Some, Unknown };

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
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    std::size_t Write(const char* buffer, std::size_t count) override {
        if (!interruptions_) interruptions_.emplace();
        std::size_t total = 0;
        while (total < count) {
            const ssize_t put = ::write(fd_.get(), buffer + total, count - total);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) break;
            total += static_cast<std::size_t>(put);
        }
        return total;
    }

    // Empty when nobody else has the file, which then stays ours until closed;
    // else why it counts as in use.
    std::optional<Outcome> OtherUse(const struct stat& status) {
        const bool flocked = ::flock(fd_.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        const std::optional<pid_t> recordLocker = RecordLockHolder();
        const OtherOpens opens = HoldLease();
        if (!flocked && !recordLocker && opens == OtherOpens::None) return std::nullopt;
        Text holders = OtherProcessesHolding(status.st_dev, status.st_ino);
        if (holders.empty() && recordLocker && *recordLocker > 0) holders = DescribeProcess(*recordLocker);
        if (!flocked && !recordLocker && opens == OtherOpens::Unknown && holders.empty())
            return std::nullopt;
        return Outcome(Reason::InUse, holders);
    }

private:
    // Another process's fcntl lock on any part of the file, if there is one.
    std::optional<pid_t> RecordLockHolder() const {
        struct flock probe {};
        probe.l_type = F_WRLCK;  // conflicts with every lock
        probe.l_whence = SEEK_SET;
        if (::fcntl(fd_.get(), F_GETLK, &probe) != 0 || probe.l_type == F_UNLCK) return std::nullopt;
        return probe.l_pid;  // -1 for an open file description lock
    }

    // Linux grants a write lease only while no other process has the file
    // open: one call answers what would otherwise take a look through every
    // process. The lease is kept until the file is closed; its break notice
    // is ignored, so another program's open just waits for that.
    OtherOpens HoldLease() {
#ifdef F_SETLEASE
        leaseNotice_.emplace(SIGIO);
        if (::fcntl(fd_.get(), F_SETLEASE, F_WRLCK) == 0) return OtherOpens::None;
        const int error = errno;
        leaseNotice_.reset();
        if (error == EAGAIN) return OtherOpens::Some;
#endif
        return OtherOpens::Unknown;  // not the file's owner, or no leases here
    }

    // Released in this order: the file first, which ends lease and flock.
    std::optional<SignalIgnored> leaseNotice_;
    std::optional<InterruptionsHeld> interruptions_;
    UniqueFd fd_;
};

class PosixFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> Open(const Text& path, FileAccess access, Outcome& problem) override {
        const int mode = access == FileAccess::ReadWrite ? O_RDWR : O_RDONLY;
        // O_NONBLOCK keeps a FIFO from hanging the open; it is refused below.
        UniqueFd fd(::open(path.c_str(), mode | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (!fd) {
            problem = ReasonFromErrno(errno);
            return nullptr;
        }
        struct stat status {};
        if (::fstat(fd.get(), &status) != 0) {
            problem = Reason::CannotOpen;
            return nullptr;
        }
        if (!S_ISREG(status.st_mode)) {
            problem = Reason::NotADiskFile;
            return nullptr;
        }
        auto file = std::make_unique<PosixFile>(std::move(fd));
        if (access != FileAccess::SharedRead) {
            if (std::optional<Outcome> inUse = file->OtherUse(status)) {
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
