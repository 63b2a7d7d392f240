#pragma once
// The installed game inside Wine and Proton prefixes, for the Linux build of
// the command-line tool: each prefix's system.reg gives the install folder
// its installer recorded, and the archive is that folder's Data\common.pak,
// found on the Unix side. The search only reads, and a prefix that cannot be
// read is skipped, with the reason among the search's problems.
#include "core/install_location.h"
#include "search/wine_prefixes.h"

namespace tolvaren {

// See WinePrefixesToSearch for where `environment` leads. In each prefix the
// record of the 32-bit view (Software\Wow6432Node\…) counts before that of
// the native view. After the prefixes, every Steam library's games without
// a record are found by their archive, steamapps/common/*/Data/common.pak
// holding the vehicle list, and so are the game folders launchers list. In
// a Steam launch, the game's folder Steam names comes first. Each archive is
// listed once.
InstallationSearch FindInstallations(FileSystem& files, const SearchEnvironment& environment);

// The same for this process's environment, the player's drives mounted in
// /run/media/$USER, /media/$USER and /mnt.
InstallationSearch FindInstallationsFromEnvironment(FileSystem& files);

}  // namespace tolvaren
