#pragma once
// Where the game is installed, as its installer recorded it in the
// registry, and what a search for installed games finds.
#include <vector>

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

struct Installation {
    Text archivePath;  // Data\common.pak; best effort when it is missing
    Text source;       // where the record was: a Wine prefix's folder, or a registry view
};

struct InstallationSearch {
    std::vector<Installation> found;  // in search order
    std::vector<Text> warnings;       // one line each, e.g. "skipping <prefix>: system.reg: <why>"
    std::vector<Text> places;         // where it looked, for a "not found" message
    Text narrowing;                   // how else to pick one of several, if there is a way
};

}  // namespace tolvaren
