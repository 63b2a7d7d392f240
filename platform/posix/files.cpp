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

#include "platform/posix/unique_fd.h"

namespace tolvaren {
namespace {

bool IsDotOrDotDot(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// What is simply not there needs no word; anything else does.
void NoteWhyUnknown(Outcome* why) {
    if (why != nullptr && errno != ENOENT && errno != ENOTDIR)
        *why = Outcome(Reason::Unreadable, std::strerror(errno));
}

}  // namespace

Text JoinPath(const Text& folder, const Text& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + '/' + name;
}

bool EntryExists(const Text& path, Outcome* whyUnknown) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) return true;
    NoteWhyUnknown(whyUnknown);
    return false;
}

bool IsFolder(const Text& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<Text> EntryNames(const Text& folder, Outcome* whyUnlisted) {
    std::vector<Text> names;
    const UniqueDir listing(::opendir(folder.c_str()));
    if (!listing) {
        NoteWhyUnknown(whyUnlisted);
        return names;
    }
    while (const dirent* entry = ::readdir(listing.get()))
        if (!IsDotOrDotDot(entry->d_name)) names.emplace_back(entry->d_name);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<Text> SubfolderNames(const Text& folder, Outcome* whyUnlisted) {
    std::vector<Text> names = EntryNames(folder, whyUnlisted);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&folder](const Text& name) {
                                   return name[0] == '.' || !IsFolder(JoinPath(folder, name));
                               }),
                names.end());
    return names;
}

std::optional<FileIdentity> IdentityOf(const Text& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

std::optional<Text> RealPath(const Text& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                                &std::free);
    if (!resolved) return std::nullopt;
    return Text(resolved.get());
}

Outcome ReadRegularFile(const Text& path, const ChunkConsumer& consume) {
    const auto unreadable = [](const char* why) { return Outcome(Reason::Unreadable, why); };
    // Non-blocking, so that a FIFO in the file's place cannot hold the open.
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file) return unreadable(std::strerror(errno));
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return unreadable(std::strerror(errno));
    if (S_ISDIR(info.st_mode)) return unreadable(std::strerror(EISDIR));
    if (!S_ISREG(info.st_mode)) return unreadable("Not a regular file");
    constexpr char kTooLarge[] = "larger than 64 MiB, far more than such a file holds";
    static_assert(kMaxSearchedFileBytes == 64 << 20, "the text names the limit");
    if (static_cast<std::uint64_t>(info.st_size) > kMaxSearchedFileBytes) return unreadable(kTooLarge);
    std::unique_ptr<char[]> buffer(new char[kReadChunkSize]);
    std::uint64_t total = 0;
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer.get(), kReadChunkSize);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return unreadable(std::strerror(errno));
        if (got == 0) return Reason::Done;
        total += static_cast<std::uint64_t>(got);
        if (total > kMaxSearchedFileBytes) return unreadable(kTooLarge);  // it grew meanwhile
        consume(std::string_view(buffer.get(), static_cast<std::size_t>(got)));
    }
}

}  // namespace tolvaren
