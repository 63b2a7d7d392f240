#include "ui/program_state.h"

#include "core/in_place_rewrite.h"
#include "core/install_location.h"
#include "core/vehicle_list.h"

namespace tolvaren {

std::int32_t ProgramState::ExtraVehiclesEnabled() {
    location_.path = ArchivePathFor(readInstallFolder_());
    return StateOfVehicleList(Scan());
}

Outcome ProgramState::SetExtraVehicles(const std::int32_t& requestedState) {
    if (!scanOutcome_.Done()) {
        Scan();
        if (!scanOutcome_.Done()) return scanOutcome_;
    }
    return RewriteVehicleList(files_, location_, requestedState);
}

Text ProgramState::VirtualizedCopyToMention() {
    if (virtualizedCopyMentioned_) return Text();
    Text copy = files_.VirtualizedCopyOf(location_.path);
    virtualizedCopyMentioned_ = !copy.empty();
    return copy;
}

// A missing archive at the bare suffix means no install folder was recorded.
Text ProgramState::Scan() {
    ScanResult scan = ReadVehicleList(files_, location_.path, location_);
    const bool noInstallFolder = location_.path == ArchivePathFor(Text());
    if (scan.outcome.reason == Reason::ArchiveNotFound && noInstallFolder)
        scan.outcome = Reason::NotInstalled;
    scanOutcome_ = std::move(scan.outcome);
    return std::move(scan.vehicleList);
}

}  // namespace tolvaren
