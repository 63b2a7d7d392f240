#include "platform/posix/in_use.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/posix/files.h"
#include "platform/posix/mounts.h"
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
    int unseenOwn = 0;         // this user's processes whose files could not be looked at
    int unseenOthers = 0;      // other users' (and those that hide from their own user)
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
            if (look == Look::Unseen) ++(IsOwnProcess(procfd, entry->d_name) ? holders.unseenOwn
                                                                              : holders.unseenOthers);
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
        std::ifstream commFile(("/proc/" + DecimalText(pid) + "/comm").c_str());
        std::string command;
        std::getline(commFile, command);
        Text description = "PID " + DecimalText(pid);
        if (!command.empty()) description += " (" + Printable(Text(command)) + ")";
        return description;
    }

private:
    // A process that hides itself from its own user (an agent that turned
    // off core dumps) shows as root's, and is counted as another user's.
    static bool IsOwnProcess(int procfd, const char* pid) {
        struct stat process {};
        return ::fstatat(procfd, pid, &process, 0) == 0 && process.st_uid == ::geteuid();
    }

    bool IsTheFile(const struct stat& other) const {
        return other.st_dev == file_.st_dev && other.st_ino == file_.st_ino;
    }

    Look LookAtDescriptors(int procfd, pid_t pid, int skippedFd) const {
        const Text fdPath = DecimalText(pid) + "/fd";
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
        const Text mapsPath = DecimalText(pid) + "/maps";
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

}  // namespace

// "invisible" (2) and "ptraceable" (4) leave other users' processes out of
// the listing; the last mount at /proc is the one seen there.
bool ProcHidesProcesses(std::string_view mountinfo) {
    bool hides = false;
    for (const Mount& mount : MountsIn(mountinfo)) {
        if (mount.point != "/proc" || mount.type != "proc") continue;
        const std::size_t hidepid = mount.options.find("hidepid=");
        std::string_view value = hidepid == Text::npos ? "" : std::string_view(mount.options).substr(hidepid + 8);
        value = value.substr(0, value.find(','));
        hides = value == "2" || value == "invisible" || value == "4" || value == "ptraceable";
    }
    return hides;
}

namespace {

bool OtherUsersProcessesHidden() {
    if (::geteuid() == 0) return false;  // root sees every process
    Text mountinfo;
    (void)ReadRegularFile("/proc/self/mountinfo", [&](std::string_view chunk) { mountinfo.append(chunk); });
    return ProcHidesProcesses(mountinfo);
}

// No lease, so every process was looked at: this user's must all have been
// seen, since the game runs as the player; processes of other users that
// could not be seen leave a caveat, not a refusal.
Result<SoleUse> JudgeWithoutLease(const Holders& holders) {
    if (holders.procUnreadable)
        return Outcome(Reason::HoldersUnknown, "no lease can be taken on it, and /proc cannot be read");
    if (holders.unseenOwn > 0)
        return Outcome(Reason::HoldersUnknown, "no lease can be taken on it, and " +
                                                   DecimalText(holders.unseenOwn) +
                                                   " processes of this user cannot be looked at");
    if (OtherUsersProcessesHidden()) return SoleUse{Reason::OthersHidden};
    if (holders.unseenOthers > 0)
        return SoleUse{{Reason::OthersUnseen, DecimalText(holders.unseenOthers)}};
    return SoleUse{};
}

// Another process that has the file open, mapped or locked, where that can
// be seen: InUse naming it, or HeldByThisProcess.
Outcome HeldBy(const Holders& holders, bool locked) {
    if (!holders.named.empty() || locked) return Outcome(Reason::InUse, holders.named);
    if (holders.thisProcess) return Reason::HeldByThisProcess;
    return Reason::Done;
}

}  // namespace

Result<SoleUse> TakeSoleUse(int fd, const struct stat& status, std::optional<SignalIgnored>& leaseNotice) {
    // Also tells cooperating programs that we have it.
    const bool flocked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    const std::optional<pid_t> recordLocker = RecordLockHolder(fd);
    const OtherOpens opens = HoldLease(fd, leaseNotice);
    if (!flocked && !recordLocker && opens == OtherOpens::None) return SoleUse{};
    Holders holders = HolderSearch(status, fd).Find();
    if (holders.named.empty() && recordLocker && *recordLocker > 0)
        holders.named = HolderSearch::DescribeProcess(*recordLocker);
    if (Outcome held = HeldBy(holders, flocked || recordLocker); !held.Done()) return held;
    if (opens == OtherOpens::Some) return Outcome(Reason::InUse);
    return JudgeWithoutLease(holders);
}

Outcome StillSoleUse(int fd, const struct stat& expected, bool leaseHeld) {
    struct stat now {};
    const bool unchanged = ::fstat(fd, &now) == 0 && now.st_size == expected.st_size &&
                           now.st_mtim.tv_sec == expected.st_mtim.tv_sec &&
                           now.st_mtim.tv_nsec == expected.st_mtim.tv_nsec;
    if (leaseHeld) {
#ifdef F_GETLEASE
        if (unchanged && ::fcntl(fd, F_GETLEASE) == F_WRLCK) return Reason::Done;
#endif
        return Outcome(Reason::InUse, HolderSearch(expected, fd).Find().named);
    }
    // Without a lease, only a look at every process tells who came since.
    Holders holders = HolderSearch(expected, fd).Find();
    const std::optional<pid_t> recordLocker = RecordLockHolder(fd);
    if (holders.named.empty() && recordLocker && *recordLocker > 0)
        holders.named = HolderSearch::DescribeProcess(*recordLocker);
    if (Outcome held = HeldBy(holders, recordLocker.has_value()); !held.Done() || !unchanged)
        return held.Done() ? Outcome(Reason::InUse) : held;
    return Reason::Done;
}

}  // namespace tolvaren
