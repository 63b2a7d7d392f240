#include "core/posix_file_holders.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "core/unique_posix.h"

namespace tolvaren {
namespace {

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

}  // namespace

Text DescribeProcess(pid_t pid) {
    std::ifstream commFile("/proc/" + std::to_string(pid) + "/comm");
    std::string command;
    std::getline(commFile, command);
    Text description = "PID " + std::to_string(pid);
    if (!command.empty()) description += " (" + Printable(command) + ")";
    return description;
}

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

}  // namespace tolvaren
