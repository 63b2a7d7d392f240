#include "core/program_archive.h"

#include "core/extra_vehicles.h"
#include "core/install_location.h"
#include "core/vehicle_list_scan.h"

namespace tolvaren {

ArchiveLocation& ProgramArchiveLocation() {
    static ArchiveLocation location;
    return location;
}

Outcome& ProgramScanOutcome() {
    static Outcome outcome = Reason::NoVehicleList;  // until the first scan
    return outcome;
}

Text ScanProgramArchive(FileSystem& files) {
    ArchiveLocation& location = ProgramArchiveLocation();
    ScanResult scan = ReadVehicleList(files, location.path, location);
    const bool noInstallFolder = location.path == ArchivePathFor(Text());
    if (scan.outcome.reason == Reason::ArchiveNotFound && noInstallFolder)
        scan.outcome = Reason::NotInstalled;
    ProgramScanOutcome() = std::move(scan.outcome);
    return std::move(scan.vehicleList);
}

Outcome SwitchProgramArchive(FileSystem& files, const std::int32_t& requestedState) {
    if (!ProgramScanOutcome().Done()) {
        ScanProgramArchive(files);
        if (!ProgramScanOutcome().Done()) return ProgramScanOutcome();
    }
    return SetExtraVehicles(files, ProgramArchiveLocation(), requestedState);
}

Outcome SetExtraVehicles(const std::int32_t& requestedState) {
    return SwitchProgramArchive(PlatformFileSystem(), requestedState);
}

}  // namespace tolvaren
