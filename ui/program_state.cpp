#include "ui/program_state.h"

#include "core/in_place_rewrite.h"
#include "core/vehicle_list.h"

namespace tolvaren {

std::int32_t ProgramState::ExtraVehiclesEnabled() {
    const Result<Text> folder = readInstallFolder_();
    recordProblem_ = folder.Why();
    location_ = ArchiveLocation{ArchivePathFor(folder ? *folder : Text())};
    const Result<VehicleListRead> list = ReadVehicleList(files_, location_.path, location_);
    startUpProblem_ = ExplainedBy(list.Why());
    return list ? StateOfVehicleList(list->bytes) : 0;
}

Outcome ProgramState::SetExtraVehicles(const std::int32_t& requestedState) {
    return ExplainedBy(RewriteVehicleList(files_, location_, requestedState).Why());
}

Text ProgramState::VirtualizedCopyToMention() {
    if (virtualizedCopyMentioned_) return Text();
    Text copy = files_.VirtualizedCopyOf(location_.path);
    virtualizedCopyMentioned_ = !copy.empty();
    return copy;
}

Outcome ProgramState::ExplainedBy(Outcome outcome) const {
    if (outcome.reason == Reason::ArchiveNotFound && !recordProblem_.Done()) return recordProblem_;
    return outcome;
}

}  // namespace tolvaren
