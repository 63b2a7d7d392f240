#include "search/prefix_path.h"

#include "core/ascii.h"
#include "platform/posix/files.h"

namespace tolvaren {
namespace {

const Text kDriveLinks = "dosdevices";
// Forms of a local path that Windows accepts before the drive letter.
const Text kLongPathPrefixes[] = {"\\\\?\\", "\\??\\"};

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

Text WithoutLongPathPrefix(const Text& path) {
    for (const Text& prefix : kLongPathPrefixes)
        if (path.compare(0, prefix.size(), prefix) == 0) return path.substr(prefix.size());
    return path;
}

}  // namespace

std::optional<Text> UnixPathInPrefix(const Text& prefix, const Text& windowsPath) {
    const Text path = WithoutLongPathPrefix(windowsPath);
    if (path.size() < 2 || !IsAsciiLetter(path[0]) || path[1] != ':') return std::nullopt;

    const Text driveLink = JoinPath(JoinPath(prefix, kDriveLinks), Text{AsciiLower(path[0]), ':'});
    const std::string_view afterDrive = std::string_view(path).substr(2);
    return FollowIgnoringCase(RealPath(driveLink).value_or(driveLink), PathComponents(afterDrive, "\\/"));
}

}  // namespace tolvaren
