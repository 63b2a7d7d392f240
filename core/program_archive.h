#pragma once
// The program's one archive: where its vehicle list lies and what the last
// scan of it found, kept from start to exit.
#include <cstdint>

#include "core/archive_location.h"
#include "core/file.h"

namespace tolvaren {

ArchiveLocation& ProgramArchiveLocation();
Outcome& ProgramScanOutcome();

// Scans the archive at the program's path, recording where the list lies and
// what the scan found; returns the list's bytes. A missing archive at the
// bare suffix (no install folder recorded) counts as NotInstalled.
Text ScanProgramArchive(FileSystem& files);

// Switches the program's archive to `requestedState` (non-zero = enable).
// When the last scan found no usable list it scans again first, so a game
// closed since start-up, or an archive put in place, is found.
Outcome SwitchProgramArchive(FileSystem& files, const std::int32_t& requestedState);

// The same on the platform's files.
Outcome SetExtraVehicles(const std::int32_t& requestedState);

}  // namespace tolvaren
