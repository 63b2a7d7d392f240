#pragma once
// The mounts of this process's mount namespace, as /proc/self/mountinfo
// lists them: "36 25 0:5 / /proc rw,nosuid shared:5 - proc proc
// rw,hidepid=invisible", a variable number of optional fields before "-",
// and a blank, tab, newline or backslash in a path written as its octal
// escape ("\040").
#include <string_view>

#include "core/list.h"

namespace tolvaren {

struct Mount {
    Text point;    // where it is mounted
    Text type;     // "ext4", "nfs4", "fuse.sshfs"
    Text options;  // the file system's own ("rw,hidepid=invisible")
};

// In the order listed: a later mount at the same point hides an earlier.
List<Mount> MountsIn(std::string_view mountinfo);

// This process's mounts; none where /proc/self/mountinfo cannot be read.
List<Mount> ThisProcessMounts();

// A file system over the network, or an automount point that would mount
// one when looked into: slow, or waiting for a server that may be gone.
bool IsRemoteOrAutomount(const Mount& mount);

}  // namespace tolvaren
