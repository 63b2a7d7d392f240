#include "search/installations.h"

#include <cstdlib>

#include "platform/posix/files.h"
#include "search/prefix_path.h"
#include "search/steam_libraries.h"
#include "search/wine_registry_file.h"

namespace tolvaren {
namespace {

// The game as a prefix's install record has it.
void ReadPrefix(FileSystem& files, const Text& prefix, InstallationSearch& search) {
    const RegistryStringLookup record = LookUpRegistryStringInFile(
        JoinPath(prefix, kPrefixRegistryFile), {kInstallKeyPath32, kInstallKeyPath}, kInstallValueName);
    if (!record) {
        search.problems.push_back({SearchProblem::Kind::Skipped, prefix, kPrefixRegistryFile, record.Why()});
        return;
    }
    if (!*record) return;
    const std::optional<Text> archive = UnixPathInPrefix(prefix, ArchivePathFor(**record));
    if (!archive) {
        search.problems.push_back(
            {SearchProblem::Kind::Skipped, prefix, Text(), {Reason::NotOnADrive, Excerpt(**record)}});
        return;
    }
    AddOnce(files, search, {*archive, prefix, Source::Prefix});
}

Text Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

InstallationSearch FindInstallations(FileSystem& files, const SearchEnvironment& environment) {
    PrefixCandidates candidates = WinePrefixesToSearch(files, environment);
    InstallationSearch search;
    search.places = std::move(candidates.places);
    search.problems = std::move(candidates.problems);
    search.noHome = candidates.noHome;
    for (const Text& prefix : candidates.prefixes) ReadPrefix(files, prefix, search);
    for (const Text& library : candidates.steamLibraries) AddGamesFoundByTheirArchive(files, library, search);
    return search;
}

InstallationSearch FindInstallationsFromEnvironment(FileSystem& files) {
    return FindInstallations(files, {Environment("HOME"), Environment("WINEPREFIX"),
                                     Environment("STEAM_COMPAT_DATA_PATH"), Environment("XDG_DATA_HOME")});
}

}  // namespace tolvaren
