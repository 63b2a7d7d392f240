#include "platform/posix/in_use.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

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

// Who has the file open or mapped, as fuser finds them.
struct Holders {
    Text named;                // "PID 1234 (game.exe), PID 99 (wineserver)"
    bool thisProcess = false;  // by a descriptor other than the one asked about
    int unseen = 0;            // processes whose files could not be looked at
    bool procUnreadable = false;
};

enum class Look { Holds, DoesNot, Unseen };

// A process that has gone meanwhile holds nothing; one that is not ours to
// inspect may hold anything.
Look Refused() { return errno == ENOENT || errno == ESRCH ? Look::DoesNot : Look::Unseen; }

class HolderSearch {
public:
    HolderSearch(const struct stat& file, int ownFd) : file_(file), ownFd_(ownFd) {}

    Holders Find() {
        Holders holders;
        const int procfd = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const UniqueDir proc = DirectoryOf(procfd);
        if (!proc) {
            holders.procUnreadable = true;
            return holders;
        }
        const pid_t self = ::getpid();
        while (const dirent* entry = ::readdir(proc.get())) {
            const pid_t pid = ProcessIdOf(entry->d_name);
            if (pid == 0) continue;
            Look look = LookAtDescriptors(procfd, pid, pid == self ? ownFd_ : -1);
            if (look == Look::DoesNot) look = LookAtMappings(procfd, pid);
            if (look == Look::Unseen) ++holders.unseen;
            if (look != Look::Holds) continue;
            if (pid == self) {
                holders.thisProcess = true;
                continue;
            }
            if (!holders.named.empty()) holders.named += ", ";
            holders.named += DescribeProcess(pid);
        }
        return holders;
    }

    // "PID 1234 (game.exe)".
    static Text DescribeProcess(pid_t pid) {
        std::ifstream commFile("/proc/" + std::to_string(pid) + "/comm");
        std::string command;
        std::getline(commFile, command);
        Text description = "PID " + std::to_string(pid);
        if (!command.empty()) description += " (" + Printable(command) + ")";
        return description;
    }

private:
    bool IsTheFile(const struct stat& other) const {
        return other.st_dev == file_.st_dev && other.st_ino == file_.st_ino;
    }

    Look LookAtDescriptors(int procfd, pid_t pid, int skippedFd) const {
        const std::string fdPath = std::to_string(pid) + "/fd";
        const UniqueDir fds =
            DirectoryOf(::openat(procfd, fdPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!fds) return Refused();
        const int fdsfd = ::dirfd(fds.get());
        while (const dirent* entry = ::readdir(fds.get())) {
            if (entry->d_name[0] == '.' || ProcessIdOf(entry->d_name) == skippedFd) continue;
            struct stat target {};
            // Follows the link to the open file itself.
            if (::fstatat(fdsfd, entry->d_name, &target, 0) == 0 && IsTheFile(target))
                return Look::Holds;
        }
        return Look::DoesNot;
    }

    // A file mapped into memory stays in use after its descriptor is closed.
    Look LookAtMappings(int procfd, pid_t pid) const {
        const std::string mapsPath = std::to_string(pid) + "/maps";
        const UniqueFd maps(::openat(procfd, mapsPath.c_str(), O_RDONLY | O_CLOEXEC));
        if (!maps) return Refused();
        std::string text;
        char chunk[16 * 1024];
        ssize_t got;
        while ((got = ::read(maps.get(), chunk, sizeof chunk)) > 0)
            text.append(chunk, static_cast<std::size_t>(got));
        if (got < 0) return Refused();
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = std::min(text.find('\n', at), text.size());
            if (MapsLineNamesTheFile(std::string_view(text).substr(at, end - at))) return Look::Holds;
            at = end + 1;
        }
        return Look::DoesNot;
    }

    // "start-end perms offset major:minor inode   path". Some file systems
    // show another device number there than stat does: the path then decides.
    bool MapsLineNamesTheFile(std::string_view line) const {
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        int pathAt = 0;
        const std::string fields(line);
        if (std::sscanf(fields.c_str(), "%*s %*s %*s %x:%x %llu %n", &major, &minor, &inode,
                        &pathAt) < 3 ||
            inode != static_cast<unsigned long long>(file_.st_ino))
            return false;
        if (makedev(major, minor) == file_.st_dev) return true;
        struct stat mapped {};
        return pathAt > 0 && ::stat(fields.c_str() + pathAt, &mapped) == 0 && IsTheFile(mapped);
    }

    const struct stat& file_;
    const int ownFd_;
};

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

Text WhyHoldersAreUnknown(const Holders& holders) {
    if (holders.procUnreadable) return "no lease can be taken on it, and /proc cannot be read";
    return "no lease can be taken on it, and " + std::to_string(holders.unseen) +
           " processes cannot be looked at";
}

}  // namespace

Outcome TakeSoleUse(int fd, const struct stat& status, std::optional<SignalIgnored>& leaseNotice) {
    // Also tells cooperating programs that we have it.
    const bool flocked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    const std::optional<pid_t> recordLocker = RecordLockHolder(fd);
    const OtherOpens opens = HoldLease(fd, leaseNotice);
    if (!flocked && !recordLocker && opens == OtherOpens::None) return Reason::Done;
    Holders holders = HolderSearch(status, fd).Find();
    if (holders.named.empty() && recordLocker && *recordLocker > 0)
        holders.named = HolderSearch::DescribeProcess(*recordLocker);
    if (!holders.named.empty() || flocked || recordLocker) return Outcome(Reason::InUse, holders.named);
    if (holders.thisProcess) return Reason::HeldByThisProcess;
    if (opens == OtherOpens::Some) return Reason::InUse;
    if (holders.unseen > 0 || holders.procUnreadable)
        return Outcome(Reason::HoldersUnknown, WhyHoldersAreUnknown(holders));
    return Reason::Done;
}

Outcome StillSoleUse(int fd, const struct stat& opened, bool leaseHeld) {
    struct stat now {};
    const bool unchanged = ::fstat(fd, &now) == 0 && now.st_size == opened.st_size &&
                           now.st_mtim.tv_sec == opened.st_mtim.tv_sec &&
                           now.st_mtim.tv_nsec == opened.st_mtim.tv_nsec;
    bool leaseWhole = !leaseHeld;
#ifdef F_GETLEASE
    leaseWhole = leaseWhole || ::fcntl(fd, F_GETLEASE) == F_WRLCK;
#endif
    if (unchanged && leaseWhole) return Reason::Done;
    return Outcome(Reason::InUse, HolderSearch(opened, fd).Find().named);
}

}  // namespace tolvaren
