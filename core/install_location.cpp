#include "core/install_location.h"

#include <windows.h>

#include "core/archive_location.h"
#include "core/vehicle_list.h"
#include "core/vehicle_list_scan.h"
#include "registry/registry_helpers.h"

namespace tolvaren {

Text InstalledArchivePath() {
    return ArchivePathFor(GetRegString(HKEY_LOCAL_MACHINE, kInstallKeyPath, kInstallValueName));
}

std::int32_t ExtraVehiclesEnabled() {
    ArchiveLocation& location = ProgramArchiveLocation();
    location.path = InstalledArchivePath();
    return StateOfVehicleList(ReadVehicleList(location.path));
}

}  // namespace tolvaren
