#include "cli/default_archive.h"

namespace tolvaren {

DefaultArchivePath DefaultArchivePathForPlatform() { return nullptr; }

}  // namespace tolvaren
