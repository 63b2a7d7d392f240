#include "platform/posix/in_use.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/posix/unique_fd.h"

namespace tolvaren {
namespace {

enum class OtherOpens { None, Some, Unknown };

// The process id a /proc entry names, or 0 for the entries that are not processes.
pid_t ProcessIdOf(const char* name) {
    char* end = nullptr;
    const long pid = std::strtol(name, &end, 10);
    return *name != '\0' && *end == '\0' && pid > 0 ? static_cast<pid_t>(pid) : 0;
}

bool ProcessHolds(int procfd, pid_t pid, dev_t device, ino_t inode) {
    const std::string fdPath = std::to_string(pid) + "/fd";
    const UniqueDir fds = DirectoryOf(::openat(procfd, fdPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fds) return false;  // gone, or not ours to inspect
    const int fdsfd = ::dirfd(fds.get());
    while (const dirent* entry = ::readdir(fds.get())) {
        if (entry->d_name[0] == '.') continue;
        struct stat target {};
        // Follows the link to the open file itself.
        if (::fstatat(fdsfd, entry->d_name, &target, 0) == 0 && target.st_dev == device &&
            target.st_ino == inode)
            return true;
    }
    return false;
}

// "PID 1234 (game.exe)".
Text DescribeProcess(pid_t pid) {
    std::ifstream commFile("/proc/" + std::to_string(pid) + "/comm");
    std::string command;
    std::getline(commFile, command);
    Text description = "PID " + std::to_string(pid);
    if (!command.empty()) description += " (" + Printable(command) + ")";
    return description;
}

// As fuser finds them: every process whose open files include the same
// device and inode. Processes that cannot be inspected are skipped.
Text OtherProcessesHolding(dev_t device, ino_t inode) {
    const int procfd = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const UniqueDir proc = DirectoryOf(procfd);
    if (!proc) return Text();
    const pid_t self = ::getpid();
    Text holders;
    while (const dirent* entry = ::readdir(proc.get())) {
        const pid_t pid = ProcessIdOf(entry->d_name);
        if (pid == 0 || pid == self || !ProcessHolds(procfd, pid, device, inode)) continue;
        if (!holders.empty()) holders += ", ";
        holders += DescribeProcess(pid);
    }
    return holders;
}

// Another process's fcntl lock on any part of the file, if there is one.
std::optional<pid_t> RecordLockHolder(int fd) {
    struct flock probe {};
    probe.l_type = F_WRLCK;  // conflicts with every lock
    probe.l_whence = SEEK_SET;
    if (::fcntl(fd, F_GETLK, &probe) != 0 || probe.l_type == F_UNLCK) return std::nullopt;
    return probe.l_pid;  // -1 for an open file description lock
}

// Linux grants a write lease only while no other process has the file
// open: one call answers what would otherwise take a look through every
// process. Its break notice is ignored, so another program's open just
// waits for the file to be closed.
OtherOpens HoldLease(int fd, std::optional<SignalIgnored>& leaseNotice) {
#ifdef F_SETLEASE
    leaseNotice.emplace(SIGIO);
    if (::fcntl(fd, F_SETLEASE, F_WRLCK) == 0) return OtherOpens::None;
    const int error = errno;
    leaseNotice.reset();
    if (error == EAGAIN) return OtherOpens::Some;
#endif
    return OtherOpens::Unknown;  // not the file's owner, or no leases here
}

}  // namespace

Outcome TakeSoleUse(int fd, const struct stat& status, std::optional<SignalIgnored>& leaseNotice) {
    // Also tells cooperating programs that we have it.
    const bool flocked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    const std::optional<pid_t> recordLocker = RecordLockHolder(fd);
    const OtherOpens opens = HoldLease(fd, leaseNotice);
    if (!flocked && !recordLocker && opens == OtherOpens::None) return Reason::Done;
    Text holders = OtherProcessesHolding(status.st_dev, status.st_ino);
    if (holders.empty() && recordLocker && *recordLocker > 0) holders = DescribeProcess(*recordLocker);
    if (!flocked && !recordLocker && opens == OtherOpens::Unknown && holders.empty())
        return Reason::Done;
    return Outcome(Reason::InUse, holders);
}

}  // namespace tolvaren
