#include "core/extra_vehicles.h"

#include "core/archive_access.h"
#include "core/vehicle_list.h"
#include "core/vehicle_list_scan.h"

namespace tolvaren {
namespace {

Transformation SwitchTo(std::int32_t state) {
    return [state](char* bytes, std::size_t size, TurnedBytes& turned) {
        turned = SwitchVehicleKeysInPlace(bytes, size, state);
        // Enabling turns the ";" of every marker, so only a disable can fall
        // short: a list without a prefixed "[Team KTM]" would still read as
        // enabled.
        const bool reached = state != 0 || StateOfVehicleList(std::string_view(bytes, size)) == 0;
        return reached ? Reason::Done : Reason::CannotDisable;
    };
}

}  // namespace

Outcome SetExtraVehicles(FileSystem& files, const ArchiveLocation& location,
                         const std::int32_t& requestedState) {
    return RewriteInPlace(files, location, SwitchTo(requestedState));
}

Outcome SetExtraVehicles(File& archive, const ArchiveLocation& location,
                         const std::int32_t& requestedState) {
    return RewriteInPlace(archive, location, SwitchTo(requestedState));
}

Outcome SwitchArchive(FileSystem& files, const Text& path, std::int32_t requestedState) {
    const OpenedArchive archive = OpenArchive(files, path);
    if (!archive.file) return archive.problem;
    ArchiveLocation location{path};
    if (Outcome found = FindVehicleList(*archive.file, location); !found.Done()) return found;
    if (!archive.writable) return archive.problem;
    return SetExtraVehicles(*archive.file, location, requestedState);
}

}  // namespace tolvaren
