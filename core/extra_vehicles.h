#pragma once
// Switching the extra vehicles in the archive.
#include <cstdint>

#include "core/in_place_rewrite.h"

namespace tolvaren {

// What a written patch tells the user, for each direction.
inline constexpr char kEnabledMessage[] = "Extra vehicles have been enabled.";
inline constexpr char kDisabledMessage[] = "Extra vehicles have been disabled.";

// Rewrites the vehicle list at `location` with every switched key's prefix
// turned to the requested state (non-zero = enable), opening the archive by
// the opening rule. Writes only a list that then reads as the requested
// state (CannotDisable otherwise). Reads `requestedState` once and never
// writes it.
Outcome SetExtraVehicles(FileSystem& files, const ArchiveLocation& location,
                         const std::int32_t& requestedState);

// The same on an archive already opened for writing.
Outcome SetExtraVehicles(File& archive, const ArchiveLocation& location,
                         const std::int32_t& requestedState);

// Opens the archive at `path` once, finds the vehicle list in its directory
// and switches it: the whole operation of a command-line switch.
Outcome SwitchArchive(FileSystem& files, const Text& path, std::int32_t requestedState);

}  // namespace tolvaren
