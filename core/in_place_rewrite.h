#pragma once
// Switching the extra vehicles: the vehicle list rewritten in place in the
// archive, keeping its size.
#include <cstdint>

#include "core/archive.h"

namespace tolvaren {

// Reads the vehicle list afresh at `location` (opening the archive at its
// path by the opening rule), turns every switched key's prefix to the
// requested state (non-zero = enable) and writes it back over itself. Writes
// only when the whole entry lies inside the file, so the archive's length
// never changes, and only a list that then reads as the requested state
// (CannotDisable otherwise). On any outcome but Done the archive is as it
// was, except after WriteFailedNotPutBack. Reads `requestedState` once and
// never writes it.
Outcome RewriteVehicleList(FileSystem& files, const ArchiveLocation& location,
                           const std::int32_t& requestedState);

// Opens the archive at `path` once, finds the vehicle list in its directory
// and rewrites it: the whole of a command-line switch.
Outcome SwitchArchive(FileSystem& files, const Text& path, std::int32_t requestedState);

}  // namespace tolvaren
