#include "search/prefix_sweep.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <utility>

#include "platform/posix/files.h"
#include "platform/posix/unique_fd.h"

namespace tolvaren {
namespace {

// What no prefix lies in, and what can be very large: a drive_c holds a
// whole Windows, even where the folder above it is no prefix.
constexpr const char* kNeverLookedInto[] = {"drive_c", ".cache", ".ccache", ".cargo", ".rustup", ".npm",
                                            ".git", ".hg", ".svn", "node_modules", ".Trash", "Trash"};

bool IsLookedInto(const char* name) {
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
    for (const char* never : kNeverLookedInto)
        if (std::strcmp(name, never) == 0) return false;
    return true;
}

// A folder, not a symlink to one.
bool IsRealFolder(int folder, const dirent& entry) {
    if (entry.d_type != DT_UNKNOWN) return entry.d_type == DT_DIR;
    struct stat info {};
    return ::fstatat(folder, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
}

class Sweeper {
public:
    Sweep Run(const List<Text>& roots) {
        for (const Text& root : roots) queue_.emplace_back(root, 0);
        while (!queue_.empty() && !sweep_.capped) {
            auto [folder, level] = std::move(queue_.front());
            queue_.pop_front();
            Look(folder, level);
        }
        return std::move(sweep_);
    }

private:
    // One listing tells both whether `folder` is a prefix and what lies below.
    void Look(const Text& folder, int level) {
        if (listed_ == kMaxSweptFolders) {
            sweep_.capped = true;
            return;
        }
        ++listed_;
        const UniqueDir listing(DirectoryOf(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)));
        if (!listing) return;
        const int fd = ::dirfd(listing.get());
        bool registry = false, driveC = false;
        List<Text> below;
        while (const dirent* entry = ::readdir(listing.get())) {
            registry = registry || std::strcmp(entry->d_name, "system.reg") == 0;
            driveC = driveC || std::strcmp(entry->d_name, "drive_c") == 0;
            if (level < kSweepLevels && IsLookedInto(entry->d_name) && IsRealFolder(fd, *entry))
                below.emplace_back(entry->d_name);
        }
        if (registry && driveC) {
            sweep_.prefixes.push_back(folder);
            return;
        }
        std::sort(below.begin(), below.end());  // the same order on every run
        for (const Text& name : below) queue_.emplace_back(JoinPath(folder, name), level + 1);
    }

    std::deque<std::pair<Text, int>> queue_;
    std::size_t listed_ = 0;
    Sweep sweep_;
};

}  // namespace

Sweep SweepForPrefixes(const List<Text>& roots) { return Sweeper().Run(roots); }

}  // namespace tolvaren
