#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "platform/posix/unique_fd.h"
#include "tests/support/test_support.h"

namespace tolvaren::test {

struct ExclusiveHold::Handle {
    UniqueFd fd;
};

ExclusiveHold::ExclusiveHold(const Text& path) : handle_(std::make_unique<Handle>()) {
    handle_->fd.reset(::open(path.c_str(), O_RDWR | O_CLOEXEC));
    if (handle_->fd && ::flock(handle_->fd.get(), LOCK_EX | LOCK_NB) != 0) handle_->fd.reset();
}

ExclusiveHold::~ExclusiveHold() = default;

bool ExclusiveHold::Held() const { return static_cast<bool>(handle_->fd); }

struct GameHold::Handle {
    pid_t pid = -1;
    bool ready = false;
    Text command;
};

namespace {

// In the child: maps the file, closes it and waits, named "mapper".
[[noreturn]] void MapAndWait(const Text& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0 ||
        ::mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ, MAP_SHARED, fd, 0) == MAP_FAILED)
        ::_exit(1);
    ::close(fd);
    ::prctl(PR_SET_NAME, "mapper");
    for (;;) ::pause();
}

// In the child: opens the file as descriptor 3, locks it, becomes `sleep`.
[[noreturn]] void HoldAndSleep(const Text& path, GameHold::Lock lock, int user) {
    if (user != GameHold::kSameUser && (::setgid(user) != 0 || ::setuid(user) != 0)) ::_exit(1);
    if (lock == GameHold::Lock::Mapped) MapAndWait(path);
    const int fd = ::open(path.c_str(), lock == GameHold::Lock::Fcntl ? O_RDWR : O_RDONLY);
    if (fd < 0 || ::dup2(fd, 3) < 0) ::_exit(1);
    if (lock == GameHold::Lock::Flock && ::flock(3, LOCK_SH) != 0) ::_exit(1);
    if (lock == GameHold::Lock::Fcntl) {
        struct flock whole {};
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        if (::fcntl(3, F_SETLK, &whole) != 0) ::_exit(1);
    }
    ::execl("/bin/sleep", "sleep", "600", static_cast<char*>(nullptr));
    ::_exit(1);
}

Text CommandOf(pid_t pid) {
    std::ifstream comm(("/proc/" + DecimalText(pid) + "/comm").c_str());
    std::string command;
    std::getline(comm, command);
    return Text(command);
}

}  // namespace

GameHold::GameHold(const Text& path, Lock lock, int user) : handle_(std::make_unique<Handle>()) {
    handle_->command = lock == Lock::Mapped ? "mapper" : "sleep";
    handle_->pid = ::fork();
    if (handle_->pid == 0) HoldAndSleep(path, lock, user);
    // Ready once it has its name: the file is open and locked by then.
    for (int tries = 0; tries < 500 && handle_->pid > 0 && !handle_->ready; ++tries) {
        handle_->ready = CommandOf(handle_->pid) == handle_->command;
        if (!handle_->ready) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

GameHold::~GameHold() {
    if (handle_->pid <= 0) return;
    ::kill(handle_->pid, SIGKILL);
    ::waitpid(handle_->pid, nullptr, 0);
}

bool GameHold::Held() const { return handle_->ready; }
long GameHold::ProcessId() const { return handle_->pid; }
Text GameHold::Command() const { return handle_->command; }

}  // namespace tolvaren::test

namespace tolvaren::test {
namespace {

bool SetImmutable(const Text& path, bool immutable) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return false;
    int flags = 0;
    if (::ioctl(fd.get(), FS_IOC_GETFLAGS, &flags) != 0) return false;
    flags = immutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    return ::ioctl(fd.get(), FS_IOC_SETFLAGS, &flags) == 0;
}

}  // namespace

bool RenameOver(const Text& from, const Text& to) { return ::rename(from.c_str(), to.c_str()) == 0; }

Fifo::Fifo(const Text& path) : path_(path), made_(::mkfifo(path.c_str(), 0644) == 0) {}
Fifo::~Fifo() { ::unlink(path_.c_str()); }

ReadOnlyFile::ReadOnlyFile(const Text& path, Mark mark) : path_(path), mark_(mark) {
    if (mark_ == Mark::Yes) ::chmod(path.c_str(), 0444);
    // Remembered even if setting it seems to fail, so that it is always undone.
    immutable_ = OpensForWriting(path);
    if (immutable_) SetImmutable(path, true);
}

ReadOnlyFile::~ReadOnlyFile() {
    if (immutable_) SetImmutable(path_, false);
    if (mark_ == Mark::Yes) ::chmod(path_.c_str(), 0644);
}

}  // namespace tolvaren::test
