#include "search/prefix_sweep.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
                                            ".git", ".hg", ".svn", "node_modules", ".Trash", "Trash",
                                            "System Volume Information"};
// A trash of a drive: ".Trash-1000".
constexpr char kDriveTrash[] = ".Trash-";
// Windows's own folders on its drive: "$Recycle.Bin", "$WinREAgent".
constexpr char kWindowsOwn = '$';
constexpr char kProtonPrefix[] = "pfx";

bool IsLookedInto(const char* name) {
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0 || name[0] == kWindowsOwn) return false;
    if (std::strncmp(name, kDriveTrash, sizeof kDriveTrash - 1) == 0) return false;
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

// Whether `inside` (below the open folder `folder`) holds system.reg and drive_c.
bool HoldsPrefix(int folder, const char* inside) {
    const Text registry = Text(inside) + "/system.reg", driveC = Text(inside) + "/drive_c";
    return ::faccessat(folder, registry.c_str(), F_OK, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::faccessat(folder, driveC.c_str(), F_OK, AT_SYMLINK_NOFOLLOW) == 0;
}

class Sweeper {
public:
    explicit Sweeper(const List<Text>& skipped) : skipped_(skipped) {}

    Sweep Run(const List<Text>& roots) {
        for (const Text& root : roots) {
            if (IsSkipped(root)) continue;
            listed_ = 0;
            overflow_ = false;
            queue_.clear();
            queue_.emplace_back(root, 0);
            while (!queue_.empty() && listed_ < kMaxSweptFolders) {
                auto [folder, level] = std::move(queue_.front());
                queue_.pop_front();
                Look(folder, level);
            }
            if (overflow_ || !queue_.empty()) sweep_.capped.push_back(root);
        }
        return std::move(sweep_);
    }

private:
    bool IsSkipped(const Text& path) const {
        return std::find(skipped_.begin(), skipped_.end(), path) != skipped_.end();
    }

    // One listing tells both whether `folder` is a prefix and what lies
    // below. A root may be a symlink (a home on another drive); below it,
    // none is followed.
    void Look(const Text& folder, int level) {
        ++listed_;
        const int follow = level == 0 ? 0 : O_NOFOLLOW;
        const UniqueDir listing(DirectoryOf(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | follow | O_CLOEXEC)));
        if (!listing) return;
        const int fd = ::dirfd(listing.get());
        bool registry = false, driveC = false;
        List<Text> below;
        while (const dirent* entry = ::readdir(listing.get())) {
            registry = registry || std::strcmp(entry->d_name, "system.reg") == 0;
            driveC = driveC || std::strcmp(entry->d_name, "drive_c") == 0;
            if (IsLookedInto(entry->d_name) && IsRealFolder(fd, *entry)) below.emplace_back(entry->d_name);
        }
        if (registry && driveC) {
            sweep_.prefixes.push_back(folder);
            return;
        }
        std::sort(below.begin(), below.end());  // the same order on every run
        for (const Text& name : below) {
            if (level == kSweepLevels) {
                // The deepest level is not listed, but a Proton-style prefix there is seen.
                if (name == kProtonPrefix && HoldsPrefix(fd, kProtonPrefix))
                    sweep_.prefixes.push_back(JoinPath(folder, name));
                continue;
            }
            const Text path = JoinPath(folder, name);
            if (IsSkipped(path)) continue;
            if (listed_ + queue_.size() < kMaxSweptFolders) queue_.emplace_back(path, level + 1);
            else overflow_ = true;
        }
    }

    const List<Text>& skipped_;
    std::deque<std::pair<Text, int>> queue_;
    std::size_t listed_ = 0;
    bool overflow_ = false;  // a folder was left out, the cap reached
    Sweep sweep_;
};

}  // namespace

Sweep SweepForPrefixes(const List<Text>& roots, const List<Text>& skipped) { return Sweeper(skipped).Run(roots); }

}  // namespace tolvaren
