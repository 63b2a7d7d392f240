#pragma once
#include <cstdint>

#include "core/outcome.h"

namespace tolvaren {

// Where the vehicle list lies; filled by the scan, trusted by every rewrite.
struct ArchiveLocation {
    Text path;
    std::int32_t position = 0;  // 1-based file position of the first byte; 0 = not found
    std::int32_t size = 0;      // bytes as the directory record gives them; 0 = not found
};

// Done when `position` and `size` name bytes a rewrite may touch: inside the
// file's 32-bit range and no larger than a vehicle list can be; else why not.
Reason LocationProblem(const ArchiveLocation& location);

}  // namespace tolvaren
