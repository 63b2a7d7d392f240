#include "core/read_ahead_file.h"

namespace tolvaren {

bool ReadAheadFile::Seek(std::int64_t offset) {
    next_ = end_ = 0;
    return file_.Seek(offset);
}

bool ReadAheadFile::Refill(std::size_t count) {
    if (count >= buffer_.size()) return false;
    next_ = 0;
    end_ = file_.Read(buffer_.data(), buffer_.size());
    return true;
}

}  // namespace tolvaren
