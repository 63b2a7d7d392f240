#pragma once
// Where the game is installed, as its installer recorded it in the registry,
// and the state test built on it.
#include <cstdint>

#include "core/text.h"

namespace tolvaren {

inline const Text kInstallKeyPath = "Software\\THQ\\MXvsATV\\Install";
inline const Text kInstallValueName = "Path";
inline const Text kArchiveSuffix = "\\Data\\common.pak";

// The install directory followed by the suffix, joined as they are: no
// separator added or removed, no test of either part.
inline Text ArchivePathFor(const Text& installDirectory) {
    return installDirectory + kArchiveSuffix;
}

// Windows only, through the registry:

// The archive path from the install directory recorded in the registry.
Text InstalledArchivePath();

// Reads the install directory once, records the archive path in the
// program's location, scans the archive and answers 1 (enabled) or 0.
std::int32_t ExtraVehiclesEnabled();

}  // namespace tolvaren
