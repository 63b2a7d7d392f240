#include "core/archive_access.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include "core/archive_format.h"

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

std::size_t ReadPadded(File& file, char* buffer, std::size_t count) {
    std::size_t total = 0;
    while (total < count) {
        const std::size_t got = file.Read(buffer + total, count - total);
        if (got == 0) break;
        total += got;
    }
    return total;
}

std::int32_t ReadInt32(File& file) {
    unsigned char bytes[kNumberBytes] = {};
    ReadPadded(file, reinterpret_cast<char*>(bytes), sizeof bytes);
    const std::uint32_t value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                static_cast<std::uint32_t>(bytes[3]) << 24;
    std::int32_t result;
    std::memcpy(&result, &value, sizeof result);
    return result;
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
