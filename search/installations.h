#pragma once
// The installed game inside Wine and Proton prefixes, for the Linux build of
// the command-line tool: each prefix's system.reg gives the install folder
// its installer recorded, and the archive is that folder's Data\common.pak,
// found on the Unix side. The search only reads, and a prefix that cannot be
// read is skipped with a warning.
#include "core/install_location.h"

namespace tolvaren {

// `home` and `winePrefix` are the values of HOME and WINEPREFIX (empty when
// unset); see WinePrefixesToSearch for where they lead. In each prefix the
// record of the 32-bit view (Software\Wow6432Node\…) counts before that of
// the native view.
InstallationSearch FindInstallations(const Text& home, const Text& winePrefix);

// The same for this process's HOME and WINEPREFIX.
InstallationSearch FindInstallationsFromEnvironment();

}  // namespace tolvaren
