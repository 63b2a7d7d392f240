#include "core/archive_access.h"

#include <new>
#include <stdexcept>

namespace tolvaren {
namespace {

bool IsAcceptablePath(const Text& path) {
    return !path.empty() && path.size() <= kMaxArchivePathBytes &&
           path.find_first_of(Text("*?\0", 3)) == Text::npos;
}

}  // namespace

OpenedArchive OpenArchive(FileSystem& files, const Text& path) {
    OpenedArchive opened;
    if (!IsAcceptablePath(path)) {
        opened.readWriteError = FileError::InvalidPath;
        return opened;
    }
    opened.file = files.Open(path, FileAccess::ReadWrite, opened.readWriteError);
    opened.writable = opened.file != nullptr;
    if (!opened.file) {
        FileError ignored = FileError::None;
        opened.file = files.Open(path, FileAccess::ReadOnly, ignored);
    }
    return opened;
}

bool TryZeroFill(Text& buffer, std::int32_t size) noexcept {
    try {
        buffer.assign(static_cast<std::size_t>(size), '\0');
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {  // beyond what the string type can hold
    }
    return false;
}

bool SeekToPosition(File& file, std::int64_t position) {
    return position >= 1 && file.Seek(position - 1);
}

}  // namespace tolvaren
