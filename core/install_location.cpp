#include "core/install_location.h"

#include <windows.h>

#include "core/program_archive.h"
#include "core/vehicle_list.h"
#include "registry/registry_helpers.h"

namespace tolvaren {

Text InstalledArchivePath() {
    return ArchivePathFor(GetRegString(HKEY_LOCAL_MACHINE, kInstallKeyPath, kInstallValueName));
}

std::int32_t ExtraVehiclesEnabled() {
    ProgramArchiveLocation().path = InstalledArchivePath();
    return StateOfVehicleList(ScanProgramArchive(PlatformFileSystem()));
}

}  // namespace tolvaren
