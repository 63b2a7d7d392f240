#include "platform/posix/mounts.h"

#include "platform/posix/files.h"

namespace tolvaren {
namespace {

// The `index`th (from 0) of the blank-separated fields of `line`.
std::string_view Field(std::string_view line, int index) {
    std::size_t at = 0;
    for (; index > 0 && at != std::string_view::npos; --index) {
        at = line.find(' ', at);
        if (at != std::string_view::npos) ++at;
    }
    if (at == std::string_view::npos) return {};
    return line.substr(at, line.find(' ', at) - at);
}

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

// "\040" as the blank it stands for.
Text Unescaped(std::string_view field) {
    Text text;
    for (std::size_t at = 0; at < field.size(); ++at) {
        if (field[at] == '\\' && at + 3 < field.size() && IsOctalDigit(field[at + 1]) &&
            IsOctalDigit(field[at + 2]) && IsOctalDigit(field[at + 3])) {
            text += static_cast<char>((field[at + 1] - '0') * 64 + (field[at + 2] - '0') * 8 + (field[at + 3] - '0'));
            at += 3;
        } else {
            text += field[at];
        }
    }
    return text;
}

constexpr std::string_view kRemoteTypes[] = {"nfs",   "nfs4",       "cifs",        "smb3",  "smbfs",
                                             "9p",    "autofs",     "fuse.sshfs",  "davfs", "fuse.rclone",
                                             "ceph",  "glusterfs",  "fuse.gvfsd-fuse"};

}  // namespace

List<Mount> MountsIn(std::string_view mountinfo) {
    List<Mount> mounts;
    for (std::size_t at = 0; at < mountinfo.size();) {
        const std::size_t end = std::min(mountinfo.find('\n', at), mountinfo.size());
        const std::string_view line = mountinfo.substr(at, end - at);
        at = end + 1;
        const std::size_t separator = line.find(" - ");
        if (separator == std::string_view::npos) continue;
        const std::string_view filesystem = line.substr(separator + 3);
        mounts.push_back({Unescaped(Field(line, 4)), Text(Field(filesystem, 0)), Text(Field(filesystem, 2))});
    }
    return mounts;
}

List<Mount> ThisProcessMounts() {
    Text mountinfo;
    if (!ReadRegularFile("/proc/self/mountinfo", [&](std::string_view chunk) { mountinfo.append(chunk); }).Done())
        return {};
    return MountsIn(mountinfo);
}

bool IsRemoteOrAutomount(const Mount& mount) {
    for (const std::string_view remote : kRemoteTypes)
        if (mount.type == remote) return true;
    return false;
}

}  // namespace tolvaren
