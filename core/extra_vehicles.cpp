#include "core/extra_vehicles.h"

#include "core/vehicle_list.h"

namespace tolvaren {

PatchOutcome SetExtraVehicles(FileSystem& files, const ArchiveLocation& location,
                              const std::int32_t& requestedState) {
    const std::int32_t state = requestedState;
    return RewriteInPlace(files, location, [state](char* bytes, std::size_t size) {
        return SwitchVehicleKeysInPlace(bytes, size, state);
    });
}

PatchOutcome SetExtraVehicles(const std::int32_t& requestedState) {
    return SetExtraVehicles(PlatformFileSystem(), ProgramArchiveLocation(), requestedState);
}

}  // namespace tolvaren
