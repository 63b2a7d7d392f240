#include "cli/default_archive.h"
#include "core/install_location.h"

namespace tolvaren {

DefaultArchivePath DefaultArchivePathForPlatform() { return InstalledArchivePath; }

}  // namespace tolvaren
