#include "search/installations.h"

#include <cstdlib>

#include "core/archive.h"
#include "core/reason_texts.h"
#include "platform/file_system.h"
#include "platform/posix/files.h"
#include "search/prefix_path.h"
#include "search/wine_registry_file.h"

namespace tolvaren {
namespace {

// In a Steam library, a game's folder is steamapps/common/<game>.
const Text kSteamGames = "steamapps/common";
const Text kAnyGame = "*";
const Text kArchiveInGame = "Data/common.pak";

class Finder {
public:
    explicit Finder(InstallationSearch& search) : search_(search) {}

    // The game as a prefix's install record has it.
    void ReadPrefix(const Text& prefix) {
        const RegistryStringLookup record = LookUpRegistryStringInFile(
            JoinPath(prefix, kPrefixRegistryFile), {kInstallKeyPath32, kInstallKeyPath},
            kInstallValueName);
        if (!record.outcome.Done()) return Skip(prefix, record.outcome, kPrefixRegistryFile);
        if (!record.value) return;
        const std::optional<Text> archive = UnixPathInPrefix(prefix, ArchivePathFor(*record.value));
        if (!archive) return Skip(prefix, {Reason::NotOnADrive, Excerpt(*record.value)});
        Add({*archive, prefix});
    }

    // The games of a Steam library, found by their archive: a game never
    // started has no prefix yet, and some store versions write no record.
    void LookInSteamLibrary(const Text& library) {
        const Text games = FindIgnoringCase(library, kSteamGames);
        search_.places.push_back(JoinPath(JoinPath(games, kAnyGame), kArchiveInGame));
        for (const Text& game : SubfolderNames(games)) {
            const Text archive = FindIgnoringCase(JoinPath(games, game), kArchiveInGame);
            if (NamesVehicleList(PlatformFileSystem(), archive))
                Add({archive, Text(kSteamLibrarySource) + library});
        }
    }

private:
    // Each archive once, however many ways lead to it.
    void Add(Installation installation) {
        const std::optional<FileIdentity> identity = IdentityOf(installation.archivePath);
        for (std::size_t i = 0; i < search_.found.size(); ++i) {
            const bool same = identity ? foundIdentities_[i] == identity
                                       : search_.found[i].archivePath == installation.archivePath;
            if (same) return;
        }
        foundIdentities_.push_back(identity);
        search_.found.push_back(std::move(installation));
    }

    void Skip(const Text& prefix, const Outcome& why, const Text& file = Text()) {
        search_.warnings.push_back(Printable("skipping " + prefix + ": " + CommandLineText(why, file)));
    }

    InstallationSearch& search_;
    std::vector<std::optional<FileIdentity>> foundIdentities_;  // of search_.found, in order
};

}  // namespace

InstallationSearch FindInstallations(const SearchEnvironment& environment) {
    PrefixCandidates candidates = WinePrefixesToSearch(environment);
    InstallationSearch search;
    search.places = std::move(candidates.places);
    for (Text& warning : candidates.warnings) search.warnings.push_back(Printable(std::move(warning)));
    Finder finder(search);
    for (const Text& prefix : candidates.prefixes) finder.ReadPrefix(prefix);
    for (const Text& library : candidates.steamLibraries) finder.LookInSteamLibrary(library);
    return search;
}

namespace {

Text Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

InstallationSearch FindInstallationsFromEnvironment() {
    InstallationSearch search =
        FindInstallations({Environment("HOME"), Environment("WINEPREFIX"),
                           Environment("STEAM_COMPAT_DATA_PATH"), Environment("XDG_DATA_HOME")});
    search.narrowing = "set WINEPREFIX to the prefix of the one to use";
    return search;
}

}  // namespace tolvaren
