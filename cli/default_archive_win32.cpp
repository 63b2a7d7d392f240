#include "cli/default_archive.h"
#include "core/install_location.h"

namespace tolvaren {

// Empty when the registry records no install folder.
DefaultArchivePath DefaultArchivePathForPlatform() {
    return [] {
        const Text path = InstalledArchivePath();
        return path == ArchivePathFor(Text()) ? Text() : path;
    };
}

}  // namespace tolvaren
