#pragma once
// What the program keeps from start-up to exit: the archive its install
// record leads to, and what start-up could not read.
#include <cstdint>

#include "core/archive.h"
#include "core/install_location.h"

namespace tolvaren {

class ProgramState {
public:
    // Reads the install folder the game's installer recorded: the folder,
    // or why there is none to use (NotInstalled, RecordTooLong).
    using InstallFolderReader = Result<Text> (*)();

    ProgramState(FileSystem& files, InstallFolderReader readInstallFolder)
        : files_(files), readInstallFolder_(readInstallFolder) {}

    // The state test: reads the install record, scans the archive it leads
    // to and answers 1 (enabled) or 0. The program runs it once, at start-up.
    // When the vehicle list could not be read it answers 0, and
    // StartUpProblem says why.
    std::int32_t ExtraVehiclesEnabled();

    // Done when start-up read the vehicle list; else why it could not.
    const Outcome& StartUpProblem() const { return startUpProblem_; }

    // Switches the archive to `requestedState` (non-zero = enable), looking
    // at its directory again first: the archive may have been replaced since
    // start-up. The registry is not read again. Reads `requestedState` once
    // and never writes it.
    Outcome SetExtraVehicles(const std::int32_t& requestedState);

    // The copy of the archive Windows keeps for this user in its
    // VirtualStore, which the game may read instead: the first time one is
    // there, to be mentioned once; empty otherwise.
    Text VirtualizedCopyToMention();

    // Where the vehicle list lay at the last look.
    const ArchiveLocation& Location() const { return location_; }

private:
    // A missing archive where no usable record leads is told by the record.
    Outcome ExplainedBy(Outcome outcome) const;

    FileSystem& files_;
    InstallFolderReader readInstallFolder_;
    Outcome recordProblem_;
    ArchiveLocation location_;
    Outcome startUpProblem_ = Reason::NoVehicleList;  // until start-up
    bool virtualizedCopyMentioned_ = false;
};

}  // namespace tolvaren
