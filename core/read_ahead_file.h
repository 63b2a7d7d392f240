#pragma once
// Serves small reads from a buffer filled by large ones, so a directory of
// many records costs a few platform calls instead of three per record.
#include <algorithm>
#include <cstring>
#include <vector>

#include "core/archive_access.h"
#include "core/file.h"

namespace tolvaren {

class ReadAheadFile final : public File {
public:
    static constexpr std::size_t kCapacity = 64 * 1024;

    explicit ReadAheadFile(File& file) : file_(file), buffer_(kCapacity) {}

    bool Seek(std::int64_t offset) override;  // drops what was read ahead
    std::size_t Read(char* buffer, std::size_t count) override {
        if (next_ == end_ && !Refill(count)) return file_.Read(buffer, count);
        const std::size_t served = std::min(count, end_ - next_);
        std::memcpy(buffer, buffer_.data() + next_, served);
        next_ += served;
        return served;
    }
    // The next `count` bytes in place, when they are all read ahead already;
    // else null, and nothing is consumed.
    const char* Take(std::size_t count) {
        if (end_ - next_ < count) return nullptr;
        const char* bytes = buffer_.data() + next_;
        next_ += count;
        return bytes;
    }

    // A reading view: writes go nowhere.
    std::size_t Write(const char*, std::size_t) override { return 0; }

private:
    // False when `count` is too large to be worth buffering.
    bool Refill(std::size_t count);

    File& file_;
    std::vector<char> buffer_;
    std::size_t next_ = 0;  // first unread byte in buffer_
    std::size_t end_ = 0;   // bytes held in buffer_
};

// A fixed-size field and how many of its bytes the file held.
struct FieldBytes {
    const char* bytes;
    std::size_t present;
};

// Reads a fixed-size field: in place in the buffer when it is there whole
// (no copy to compare; valid until the next read), else into `spare` with
// the bytes past the end of the file as zero.
template <std::size_t Size>
FieldBytes ReadField(ReadAheadFile& file, char (&spare)[Size]) {
    if (const char* held = file.Take(Size)) return {held, Size};
    const std::size_t present = ReadPadded(file, spare, Size);
    std::memset(spare + present, 0, Size - present);
    return {spare, present};
}

inline std::int32_t ReadInt32(ReadAheadFile& file) {
    char spare[4];
    return Int32FromLittleEndian(ReadField(file, spare).bytes);
}

}  // namespace tolvaren
