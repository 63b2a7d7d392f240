#include "platform/posix/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/ascii.h"
#include "platform/posix/unique_fd.h"

namespace tolvaren {
namespace {

bool IsDotOrDotDot(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// What is simply not there needs no word; anything else does.
bool IsMissing(int error) { return error == ENOENT || error == ENOTDIR; }

Outcome Unreadable(int error) { return {Reason::Unreadable, std::strerror(error)}; }

// The folder's entry for `component`: the name as written when it is there,
// else the first (byte order) entry equal to it without regard to case.
std::optional<Text> EntryFor(const Text& folder, const Text& component) {
    const Text written = JoinPath(folder, component);
    const Result<bool> exists = EntryExists(written);
    if (exists && *exists) return written;
    const Result<List<Text>> names = EntryNames(folder);
    if (!names) return std::nullopt;
    for (const Text& name : *names)
        if (EqualIgnoringAsciiCase(name, component)) return JoinPath(folder, name);
    return std::nullopt;
}

}  // namespace

Text JoinPath(const Text& folder, const Text& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + '/' + name;
}

Result<bool> EntryExists(const Text& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) return true;
    if (IsMissing(errno)) return false;
    return Unreadable(errno);
}

bool IsFolder(const Text& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Result<List<Text>> EntryNames(const Text& folder) {
    List<Text> names;
    const UniqueDir listing(::opendir(folder.c_str()));
    if (!listing) {
        if (IsMissing(errno)) return names;
        return Unreadable(errno);
    }
    while (const dirent* entry = ::readdir(listing.get()))
        if (!IsDotOrDotDot(entry->d_name)) names.emplace_back(entry->d_name);
    std::sort(names.begin(), names.end());
    return names;
}

Result<List<Text>> SubfolderNames(const Text& folder) {
    Result<List<Text>> names = EntryNames(folder);
    if (!names) return names;
    List<Text> subfolders;
    for (Text& name : *names)
        if (name[0] != '.' && IsFolder(JoinPath(folder, name))) subfolders.push_back(std::move(name));
    return subfolders;
}

Result<FileIdentity> IdentityOf(const Text& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return Unreadable(errno);
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

std::optional<Text> RealPath(const Text& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                                &std::free);
    if (!resolved) return std::nullopt;
    return Text(resolved.get());
}

List<Text> PathComponents(std::string_view path, std::string_view separators) {
    List<Text> components;
    std::size_t start = 0;
    for (std::size_t at = 0; at <= path.size(); ++at) {
        if (at < path.size() && separators.find(path[at]) == std::string_view::npos) continue;
        const Text component(path.data() + start, at - start);
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

Text FollowIgnoringCase(Text folder, const List<Text>& components) {
    for (const Text& component : components)
        folder = EntryFor(folder, component).value_or(JoinPath(folder, component));
    return folder;
}

Text FindIgnoringCase(const Text& folder, const Text& relativePath) {
    const bool absolute = !relativePath.empty() && relativePath[0] == '/';
    return FollowIgnoringCase(absolute ? "/" : folder, PathComponents(relativePath, "/"));
}

Outcome ReadRegularFile(const Text& path, ChunkConsumer consume) {
    // Non-blocking, so that a FIFO in the file's place cannot hold the open.
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file) return Unreadable(errno);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return Unreadable(errno);
    if (S_ISDIR(info.st_mode)) return Unreadable(EISDIR);
    if (!S_ISREG(info.st_mode)) return {Reason::Unreadable, "Not a regular file"};
    if (static_cast<std::uint64_t>(info.st_size) > kMaxSearchedFileBytes) return Reason::FileTooLarge;
    Text buffer;
    if (!buffer.TryResize(kReadChunkSize)) return Reason::OutOfMemory;
    std::uint64_t total = 0;
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer.data(), kReadChunkSize);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return Unreadable(errno);
        if (got == 0) return Reason::Done;
        total += static_cast<std::uint64_t>(got);
        if (total > kMaxSearchedFileBytes) return Reason::FileTooLarge;  // it grew meanwhile
        consume(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    }
}

}  // namespace tolvaren
