#include "search/prefix_path.h"

#include <vector>

#include "search/ascii.h"
#include "platform/posix/files.h"

namespace tolvaren {
namespace {

const Text kDriveLinks = "dosdevices";
// Forms of a local path that Windows accepts before the drive letter.
const Text kLongPathPrefixes[] = {"\\\\?\\", "\\??\\"};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

Text WithoutLongPathPrefix(const Text& path) {
    for (const Text& prefix : kLongPathPrefixes)
        if (path.compare(0, prefix.size(), prefix) == 0) return path.substr(prefix.size());
    return path;
}

// The components after the drive, with "." and ".." applied as Windows
// applies them: lexically, never above the drive's root.
std::vector<Text> PathComponents(const Text& path, std::size_t from) {
    std::vector<Text> components;
    std::size_t start = from;
    for (std::size_t at = from; at <= path.size(); ++at) {
        if (at < path.size() && !IsSeparator(path[at])) continue;
        const Text component = path.substr(start, at - start);
        start = at + 1;
        if (component.empty() || component == ".") continue;
        if (component == "..") {
            if (!components.empty()) components.pop_back();
            continue;
        }
        components.push_back(component);
    }
    return components;
}

// The folder's entry for `component`: the name as written when it is there,
// else the first (byte order) entry equal to it without regard to case.
std::optional<Text> EntryFor(const Text& folder, const Text& component) {
    const Text written = JoinPath(folder, component);
    if (EntryExists(written)) return written;
    for (const Text& name : EntryNames(folder))
        if (EqualIgnoringAsciiCase(name, component)) return JoinPath(folder, name);
    return std::nullopt;
}

// Each component of `components` in turn, from `folder`: past a missing
// one nothing is found, so the rest follows as written.
Text FollowIgnoringCase(Text folder, const std::vector<Text>& components) {
    for (const Text& component : components)
        folder = EntryFor(folder, component).value_or(JoinPath(folder, component));
    return folder;
}

}  // namespace

Text FindIgnoringCase(const Text& folder, const Text& relativePath) {
    const bool absolute = !relativePath.empty() && relativePath[0] == '/';
    return FollowIgnoringCase(absolute ? "/" : folder, PathComponents(relativePath, 0));
}

std::optional<Text> UnixPathInPrefix(const Text& prefix, const Text& windowsPath) {
    const Text path = WithoutLongPathPrefix(windowsPath);
    if (path.size() < 2 || !IsAsciiLetter(path[0]) || path[1] != ':') return std::nullopt;

    const Text driveLink = JoinPath(JoinPath(prefix, kDriveLinks), Text{AsciiLower(path[0]), ':'});
    return FollowIgnoringCase(RealPath(driveLink).value_or(driveLink), PathComponents(path, 2));
}

}  // namespace tolvaren
