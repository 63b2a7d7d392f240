#pragma once
#include "cli/command_line.h"

namespace tolvaren {

// On Windows the game's install location from the registry; elsewhere none.
DefaultArchivePath DefaultArchivePathForPlatform();

}  // namespace tolvaren
