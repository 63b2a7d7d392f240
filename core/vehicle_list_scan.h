#pragma once
#include "core/archive_location.h"
#include "core/file.h"

namespace tolvaren {

// Finds "Data\Veh\Vehicles.dat" in the archive's directory (first match wins)
// and returns its bytes, zero-padded where the file ends early. On a match it
// records the entry's position and size in `location`, else leaves them.
// Empty text when the archive cannot be read or holds no such entry.
Text ReadVehicleList(FileSystem& files, const Text& path, ArchiveLocation& location);

// The same on the platform's files, recording into the program's location.
Text ReadVehicleList(const Text& path);

}  // namespace tolvaren
