#include "search/installations.h"

#include <cstdlib>

#include "core/archive.h"
#include "core/ascii.h"
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

// The folder the archive lies in: "…/Racer" of "…/Racer/Data/common.pak".
Text GameFolderName(const Text& archivePath) {
    List<Text> components = PathComponents(archivePath, "/");
    return components.size() >= 3 ? components[components.size() - 3] : Text();
}

// Found by its record where it does not lie: a Proton prefix of Flatpak
// Steam records the game as it lies inside the sandbox. The same game found
// by its archive in that prefix's library is the installation; the record is
// not listed as a failure too.
bool IsATwinOfOneFound(FileSystem& files, const InstallationSearch& search, const Installation& installation) {
    if (installation.source != Source::Prefix || files.IdentityOf(installation.archivePath)) return false;
    const Text folder = GameFolderName(installation.archivePath);
    for (const Installation& other : search.found)
        if (other.source == Source::SteamLibrary && installation.place.rfind(other.place + "/", 0) == 0 &&
            EqualIgnoringAsciiCase(GameFolderName(other.archivePath), folder))
            return true;
    return false;
}

// The installations the candidates lead to, with where they looked and
// what they could not use.
void Read(FileSystem& files, const PrefixCandidates& candidates, InstallationSearch& search) {
    for (const Text& place : candidates.places) search.places.push_back(place);
    for (const SearchProblem& problem : candidates.problems) search.problems.push_back(problem);
    for (const Text& prefix : candidates.prefixes) ReadPrefix(files, prefix, search);
    for (const Text& library : candidates.steamLibraries) AddGamesFoundByTheirArchive(files, library, search);
    for (const ListedGameFolder& game : candidates.gameFolders) {
        const Text archive = files.PathIn(game.folder, kArchiveInGame);
        if (NamesVehicleList(files, archive)) AddOnce(files, search, {archive, game.listedIn, Source::ListedFolder});
    }
}

// Where the player's drives are mounted: under their user name, and /mnt.
// The tool uses no name service: without a name in the environment, the
// folders of every user's drives are left alone.
List<Text> DriveFolders() {
    Text user = Environment("USER");
    if (user.empty()) user = Environment("LOGNAME");
    if (user.empty()) return {"/mnt"};
    return {"/run/media/" + user, "/media/" + user, "/mnt"};
}

}  // namespace

InstallationSearch FindInstallations(FileSystem& files, const SearchEnvironment& environment) {
    InstallationSearch search;
    // In a Steam launch, the folder Steam names is the game where its
    // archive holds the vehicle list: before the game's first start there
    // is no prefix yet, and some versions write no record.
    if (environment.winePrefix.empty() && !environment.steamCompatInstallPath.empty()) {
        const Text archive = files.PathIn(environment.steamCompatInstallPath, kArchiveInGame);
        search.places.push_back(archive);
        if (NamesVehicleList(files, archive)) {
            search.found.push_back({archive, environment.steamCompatInstallPath, Source::SteamLaunch});
            return search;
        }
    }
    const PrefixCandidates candidates = WinePrefixesToSearch(files, environment);
    search.noHome = candidates.noHome;
    Read(files, candidates, search);
    // Only where nothing else was found: a copy of the game on a backup
    // drive, or a prefix left in a trash, is no second installation.
    if (search.found.empty()) Read(files, PrefixesElsewhere(files, environment, candidates.prefixes), search);
    InstallationSearch kept = search;
    kept.found = {};
    for (const Installation& installation : search.found)
        if (!IsATwinOfOneFound(files, search, installation)) kept.found.push_back(installation);
    return kept;
}

InstallationSearch FindInstallationsFromEnvironment(FileSystem& files) {
    return FindInstallations(files, {Environment("HOME"), Environment("WINEPREFIX"),
                                     Environment("STEAM_COMPAT_DATA_PATH"), Environment("XDG_DATA_HOME"),
                                     Environment("STEAM_COMPAT_INSTALL_PATH"), Environment("XDG_CONFIG_HOME"),
                                     Environment("WINE_PREFIXES"), DriveFolders()});
}

}  // namespace tolvaren
