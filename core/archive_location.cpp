#include "core/archive_location.h"

#include "core/archive_format.h"

namespace tolvaren {

ArchiveLocation& ProgramArchiveLocation() {
    static ArchiveLocation location;
    return location;
}

bool HoldsVehicleList(const ArchiveLocation& location) {
    return location.position >= 1 && location.size > 0 && location.size <= kMaxVehicleListBytes;
}

}  // namespace tolvaren
