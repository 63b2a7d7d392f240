#include "core/archive_location.h"

namespace tolvaren {

ArchiveLocation& ProgramArchiveLocation() {
    static ArchiveLocation location;
    return location;
}

bool HoldsVehicleList(const ArchiveLocation& location) {
    return location.position >= 1 && location.size > 0;
}

}  // namespace tolvaren
