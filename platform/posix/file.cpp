#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/file_system.h"
#include "platform/posix/files.h"
#include "platform/posix/in_use.h"
#include "platform/posix/posix_file_system.h"
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

// Why a read, a write or a flush failed. Perhaps in the middle of a switch,
// where running out of memory must not end the process: without memory for
// the system's words, the reason alone.
Outcome OutcomeOfFailedTransfer(int error) {
    switch (error) {
        case ENOSPC: case EDQUOT: return Reason::DiskFull;
        case EFBIG: return Reason::FileSizeLimit;
        // The kernel could not give the pages of our own buffer: a memory limit.
        case ENOMEM: case EFAULT: return Reason::OutOfMemory;
        default: break;
    }
    Outcome failed(Reason::PlatformError);
    (void)failed.detail.TryAssign(std::strerror(error));
    return failed;
}

class PosixFile final : public File {
public:
    PosixFile(UniqueFd fd, const struct stat& status, Text path, SignalHold& signals)
        : fd_(std::move(fd)), path_(std::move(path)), expected_(status), signals_(signals) {}
    ~PosixFile() override {
        fd_.reset();  // ends lease and flock before held signals may act
        if (holdsSignals_) signals_.Let();
    }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    Outcome Seek(std::int64_t offset) override {
        if (::lseek(fd_.get(), offset, SEEK_SET) == offset) return Reason::Done;
        return OutcomeOfFailedTransfer(errno);
    }
    Result<std::size_t> Read(char* buffer, std::size_t count) override {
        ssize_t got;
        do got = ::read(fd_.get(), buffer, count);
        while (got < 0 && errno == EINTR);
        if (got < 0) return OutcomeOfFailedTransfer(errno);
        return static_cast<std::size_t>(got);
    }
    Result<std::size_t> Write(const char* buffer, std::size_t count) override {
        ssize_t put;
        do put = ::write(fd_.get(), buffer, count);
        while (put < 0 && errno == EINTR);
        if (put < 0) return OutcomeOfFailedTransfer(errno);
        // Its time of change is now this process's own; its size is not
        // to change, since a switch writes inside the entry.
        struct stat now {};
        if (::fstat(fd_.get(), &now) == 0) expected_.st_mtim = now.st_mtim;
        return static_cast<std::size_t>(put);
    }
    Outcome Flush() override {
        if (::fdatasync(fd_.get()) == 0) return Reason::Done;
        return OutcomeOfFailedTransfer(errno);
    }

    Result<std::int64_t> Size() const override {
        struct stat now {};
        if (::fstat(fd_.get(), &now) != 0) return OutcomeOfFailedTransfer(errno);
        return static_cast<std::int64_t>(now.st_size);
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
        signals_.Hold();
        holdsSignals_ = true;
        Result<SoleUse> sole = tolvaren::TakeSoleUse(fd_.get(), expected_, leaseNotice_);
        if (!sole) return sole.Why();
        caveat_ = std::move(sole->caveat);
        return Reason::Done;
    }

private:
    // Released after the file, which ends the lease.
    std::optional<SignalIgnored> leaseNotice_;
    UniqueFd fd_;
    const Text path_;
    struct stat expected_;  // as opened; its time of change as this process last wrote it
    SignalHold& signals_;
    bool holdsSignals_ = false;
    Outcome caveat_;
};

}  // namespace

Result<std::unique_ptr<File>> PosixFileSystem::Open(const Text& path, FileAccess access) {
    const int mode = access == FileAccess::ReadWrite ? O_RDWR : O_RDONLY;
    // O_NONBLOCK keeps a FIFO from hanging the open; it is refused below.
    UniqueFd fd(::open(path.c_str(), mode | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd) return ReasonFromErrno(errno);
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) return Reason::CannotOpen;
    if (!S_ISREG(status.st_mode)) return Reason::NotADiskFile;
    auto file = std::make_unique<PosixFile>(std::move(fd), status, path, signals_);
    if (access != FileAccess::SharedRead) {
        if (Outcome sole = file->TakeSoleUse(); !sole.Done()) return sole;
    }
    return file;
}

Text PosixFileSystem::PathIn(const Text& folder, const Text& relative) {
    return FindIgnoringCase(folder, relative);
}

Result<List<Text>> PosixFileSystem::SubfolderNames(const Text& folder) {
    return tolvaren::SubfolderNames(folder);
}

Result<FileIdentity> PosixFileSystem::IdentityOf(const Text& path) { return tolvaren::IdentityOf(path); }

Result<Text> PosixFileSystem::ReadTextFile(const Text& path) {
    const Result<bool> there = EntryExists(path);
    if (!there) return there.Why();
    Text text;
    if (!*there) return text;
    const Outcome read = ReadRegularFile(path, [&text](std::string_view chunk) { text.append(chunk); });
    if (!read.Done()) return read;
    return text;
}

FileSystem& PlatformFileSystem() {
    static SignalHold signals;
    static PosixFileSystem files(signals);
    return files;
}

}  // namespace tolvaren
