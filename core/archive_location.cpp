#include "core/archive_location.h"

#include "core/archive_format.h"

namespace tolvaren {

Reason LocationProblem(const ArchiveLocation& location) {
    if (location.size == 0) return Reason::NoVehicleList;  // never found, or an empty entry
    if (location.size > kMaxVehicleListBytes) return Reason::EntryTooLarge;
    if (location.size < 0 || location.position < 1) return Reason::EntryDamaged;
    return Reason::Done;
}

}  // namespace tolvaren
