#include "platform/posix/files.h"
#include "search/steam_libraries.h"

namespace tolvaren {

SteamLibraryList LibraryPathsInVdfFile(const Text& path) {
    if (!EntryExists(path)) return {};
    Text vdfText;
    Outcome read = ReadRegularFile(path, [&vdfText](std::string_view chunk) { vdfText.append(chunk); });
    if (!read.Done()) return {{}, std::move(read)};
    return LibraryPathsInVdf(vdfText);
}

}  // namespace tolvaren
