#pragma once
// Platform-neutral rules for reaching the archive through the file interface.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/file.h"

namespace tolvaren {

// Longer paths are refused rather than cut, so no other file is ever opened.
constexpr std::size_t kMaxArchivePathBytes = 259;

struct OpenedArchive {
    std::unique_ptr<File> file;  // null when the archive could not be opened
    bool writable = false;
    // Done, or why the archive is not open, not writable, or open only
    // beside another program that holds it (InUse).
    Outcome problem;
};

enum class WhenInUse { Refuse, ReadShared };

// Read-write without sharing, else read-only without sharing; an existing
// disk file only. Empty paths, wildcards, zero bytes and over-long paths are
// refused without any attempt. With ReadShared, an archive that another
// program holds is opened for reading beside it.
OpenedArchive OpenArchive(FileSystem& files, const Text& path,
                          WhenInUse whenInUse = WhenInUse::Refuse);

// Reads up to `count` bytes; missing bytes past the end of the file stay as
// the buffer had them (callers pass zeroed buffers). Returns the bytes read.
// A template, so that reads through a final file type are direct calls.
template <class AnyFile>
std::size_t ReadPadded(AnyFile& file, char* buffer, std::size_t count) {
    std::size_t total = 0;
    while (total < count) {
        const std::size_t got = file.Read(buffer + total, count - total);
        if (got == 0) break;
        total += got;
    }
    return total;
}

// A little-endian signed 32-bit number; missing high-order bytes read as zero.
inline std::int32_t Int32FromLittleEndian(const char* field) {
    const auto byte = [&field](int i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(field[i]));
    };
    const std::uint32_t value = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
    return static_cast<std::int32_t>(value);  // two's complement, as C++20 defines
}

// Makes `buffer` `size` zero bytes; false when no buffer that large can be had.
bool TryZeroFill(Text& buffer, std::int32_t size) noexcept;

// Seeks to a 1-based position.
bool SeekToPosition(File& file, std::int64_t position);

}  // namespace tolvaren
