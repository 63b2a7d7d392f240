#pragma once
// Where this platform's tool looks for the installed game when the command
// line names no archive: on Windows the install record in the registry, on
// Linux the records in the Wine and Proton prefixes of the user's home.
#include "cli/installation_search.h"

namespace tolvaren {

InstallationSearch FindPlatformInstallations();

}  // namespace tolvaren
