#pragma once
#include "core/archive_location.h"
#include "core/file.h"

namespace tolvaren {

// Reads the directory of an open archive from its first byte and records in
// `location` where the first record named "Data\Veh\Vehicles.dat" puts its
// bytes. Done, or NoVehicleList, EntryTooLarge or EntryDamaged; `location`
// changes only when the name is found.
Outcome FindVehicleList(File& archive, ArchiveLocation& location);

struct ScanResult {
    Text vehicleList;  // the entry's bytes, zero-padded where the file ends early
    Outcome outcome;   // Done, or why the list cannot be switched
};

// Opens the archive at `path`, finds the vehicle list and reads it. An
// archive that another program holds is read beside it: the list comes back
// with the outcome InUse. The bytes of a damaged entry are read as far as
// its position allows; empty when there is nothing to read.
ScanResult ReadVehicleList(FileSystem& files, const Text& path, ArchiveLocation& location);

}  // namespace tolvaren
