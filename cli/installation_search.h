#pragma once
// What a search for the installed game found, where it looked, and what it
// could not read.
#include <vector>

#include "core/text.h"

namespace tolvaren {

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
