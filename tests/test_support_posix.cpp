#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/test_support.h"

namespace tolvaren::test {

struct ExclusiveHold::Handle {
    int fd = -1;
};

ExclusiveHold::ExclusiveHold(const Text& path) : handle_(std::make_unique<Handle>()) {
    handle_->fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (handle_->fd >= 0 && ::flock(handle_->fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(handle_->fd);
        handle_->fd = -1;
    }
}

ExclusiveHold::~ExclusiveHold() {
    if (handle_->fd >= 0) ::close(handle_->fd);
}

bool ExclusiveHold::Held() const { return handle_->fd >= 0; }

}  // namespace tolvaren::test

namespace tolvaren::test {
namespace {

bool SetImmutable(const Text& path, bool immutable) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = immutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
}

}  // namespace

ReadOnlyFile::ReadOnlyFile(const Text& path) : path_(path) {
    ::chmod(path.c_str(), 0444);
    // Remembered even if setting it seems to fail, so that it is always undone.
    immutable_ = OpensForWriting(path);
    if (immutable_) SetImmutable(path, true);
}

ReadOnlyFile::~ReadOnlyFile() {
    if (immutable_) SetImmutable(path_, false);
    ::chmod(path_.c_str(), 0644);
}

}  // namespace tolvaren::test
