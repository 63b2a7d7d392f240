// Files on POSIX systems. An exclusive advisory lock stands in for opening
// without sharing, so two cooperating processes never hold the archive at once.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/file.h"

namespace tolvaren {
namespace {

FileError ErrorFromErrno(int error) {
    switch (error) {
        case ENOENT: case ENOTDIR: return FileError::NotFound;
        case EACCES: case EPERM: case EROFS: return FileError::AccessDenied;
        case EWOULDBLOCK: case ETXTBSY: return FileError::InUse;
        default: return FileError::Other;
    }
}

class PosixFile final : public File {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { ::close(fd_); }
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
    int fd_;
};

class PosixFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> Open(const Text& path, FileAccess access,
                               FileError& error) override {
        const int mode = access == FileAccess::ReadWrite ? O_RDWR : O_RDONLY;
        // O_NONBLOCK keeps a FIFO from hanging the open; it is refused below.
        const int fd = ::open(path.c_str(), mode | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) {
            error = ErrorFromErrno(errno);
            return nullptr;
        }
        auto file = std::make_unique<PosixFile>(fd);
        struct stat status {};
        if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
            error = FileError::Other;
            return nullptr;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            error = ErrorFromErrno(errno);
            return nullptr;
        }
        error = FileError::None;
        return file;
    }
};

}  // namespace

FileSystem& PlatformFileSystem() {
    static PosixFileSystem files;
    return files;
}

}  // namespace tolvaren
