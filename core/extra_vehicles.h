#pragma once
// Switching the extra vehicles in the archive.
#include <cstdint>

#include "core/in_place_rewrite.h"

namespace tolvaren {

// What a written patch tells the user, for each direction.
inline constexpr char kEnabledMessage[] = "Extra vehicles have been enabled.";
inline constexpr char kDisabledMessage[] = "Extra vehicles have been disabled.";

// Rewrites the vehicle list at `location` with every switched key's prefix
// turned to the requested state (non-zero = enable). Reads `requestedState`
// once and never writes it.
PatchOutcome SetExtraVehicles(FileSystem& files, const ArchiveLocation& location,
                              const std::int32_t& requestedState);

// The same on the platform's files at the program's location.
PatchOutcome SetExtraVehicles(const std::int32_t& requestedState);

}  // namespace tolvaren
