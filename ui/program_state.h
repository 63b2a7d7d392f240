#pragma once
// What the program keeps from start-up to exit: where the vehicle list lies
// in the archive its install record leads to, and what the last scan of it
// found.
#include <cstdint>

#include "core/archive.h"

namespace tolvaren {

class ProgramState {
public:
    // Reads the install folder the game's installer recorded.
    using InstallFolderReader = Text (*)();

    ProgramState(FileSystem& files, InstallFolderReader readInstallFolder)
        : files_(files), readInstallFolder_(readInstallFolder) {}

    // The state test: reads the install record, scans the archive it leads
    // to and answers 1 (enabled) or 0, also when nothing could be read. The
    // program runs it once, at start-up.
    std::int32_t ExtraVehiclesEnabled();

    // Switches the archive to `requestedState` (non-zero = enable) at the
    // remembered place. When the last scan found no usable list it scans
    // again first, so that a game closed since start-up, or an archive put
    // in place, is found. Reads `requestedState` once and never writes it.
    Outcome SetExtraVehicles(const std::int32_t& requestedState);

    // The copy of the archive Windows keeps for this user in its
    // VirtualStore, which the game may read instead: the first time one is
    // there, to be mentioned once; empty otherwise.
    Text VirtualizedCopyToMention();

    const ArchiveLocation& Location() const { return location_; }
    // What the last scan found: Done, or why the list cannot be switched.
    const Outcome& ScanOutcome() const { return scanOutcome_; }

private:
    Text Scan();

    FileSystem& files_;
    InstallFolderReader readInstallFolder_;
    ArchiveLocation location_;
    Outcome scanOutcome_ = Reason::NoVehicleList;  // until the first scan
    bool virtualizedCopyMentioned_ = false;
};

}  // namespace tolvaren
