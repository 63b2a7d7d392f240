#pragma once
// Sole owners of a POSIX file descriptor and of a directory stream.
#include <dirent.h>
#include <unistd.h>

#include "platform/unique_any.h"

namespace tolvaren {

struct FdTraits {
    using pointer = int;
    static int Invalid() { return -1; }
    static void Close(int fd) { ::close(fd); }
};
using UniqueFd = UniqueAny<FdTraits>;

struct DirTraits {
    using pointer = DIR*;
    static DIR* Invalid() { return nullptr; }
    static void Close(DIR* stream) { ::closedir(stream); }
};
using UniqueDir = UniqueAny<DirTraits>;

// A stream over `dirfd`, which it takes over; invalid when it cannot be had.
inline UniqueDir DirectoryOf(int dirfd) {
    if (dirfd < 0) return UniqueDir();
    DIR* stream = ::fdopendir(dirfd);
    if (stream == nullptr) ::close(dirfd);
    return UniqueDir(stream);
}

}  // namespace tolvaren
