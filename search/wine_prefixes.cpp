#include "search/wine_prefixes.h"

#include "platform/posix/files.h"
#include "search/launcher_configs.h"
#include "search/prefix_path.h"
#include "search/steam_libraries.h"

namespace tolvaren {
namespace {

const Text kAnyFolder = "*";

// Under HOME, in search order.
const Text kDefaultWinePrefix = ".wine";
// Steam's own link to its folder; Debian's and Ubuntu's package make the
// other two instead.
const Text kSteamLink = ".steam/steam";
const Text kSteamLinksWithoutIt[] = {".steam/root", ".steam/debian-installation"};
const Text kSteamRoots[] = {
    ".local/share/Steam",
    ".var/app/com.valvesoftware.Steam/.local/share/Steam",
    "snap/steam/common/.local/share/Steam",
};
// Folders whose every subfolder may be a prefix: Lutris, Bottles (native
// and Flatpak), Heroic, umu-launcher, PlayOnLinux.
const Text kLutrisPrefixes = "Games";
const Text kBottlesPrefixes = ".local/share/bottles/bottles";
const Text kPrefixFolders[] = {
    ".var/app/com.usebottles.bottles/data/bottles/bottles",
    "Games/Heroic/Prefixes",
    "Games/Heroic/Prefixes/default",
    "Games/umu",
    ".PlayOnLinux/wineprefix",
};
// The launchers' files for each game, naming its prefix wherever it is.
const Text kLutrisGames = ".config/lutris/games";
const Text kLutrisGameSuffix = ".yml";
const Text kHeroicGames = ".config/heroic/GamesConfig";
const Text kHeroicGameSuffix = ".json";

// Under XDG_DATA_HOME, when it is set.
const Text kSteamInDataHome = "Steam";
const Text kBottlesInDataHome = "bottles/bottles";

// In a Steam library, and in the folder STEAM_COMPAT_DATA_PATH names.
const Text kProtonPrefixes = "steamapps/compatdata";
const Text kPrefixInFolder = "pfx";

bool EndsWith(const Text& text, const Text& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

using PrefixReader = Result<std::optional<Text>> (*)(std::string_view text);

class Search {
public:
    Search(FileSystem& files, const SearchEnvironment& environment) : files_(files), environment_(environment) {}

    void LookAtPrefix(const Text& folder) {
        candidates_.places.push_back(folder);
        ConsiderPrefix(folder);
    }

    // The one prefix the user (or Steam) named: when it is none, they hear why.
    void LookAtNamedPrefix(const Text& folder, const char* namedBy) {
        LookAtPrefix(folder);
        if (candidates_.prefixes.empty()) Skip(folder, {Reason::NotAPrefix, namedBy});
    }

    void LookInSteamRoots() {
        const Result<bool> steamLink = EntryExists(InHome(kSteamLink));
        if (steamLink && *steamLink) {
            LookInSteamRoot(InHome(kSteamLink));
        } else {
            for (const Text& link : kSteamLinksWithoutIt) LookInSteamRoot(InHome(link));
        }
        LookInSteamRoot(InHome(kSteamRoots[0]));
        if (!environment_.xdgDataHome.empty())
            LookInSteamRoot(JoinPath(environment_.xdgDataHome, kSteamInDataHome));
        for (std::size_t i = 1; i < std::size(kSteamRoots); ++i) LookInSteamRoot(InHome(kSteamRoots[i]));
    }

    void LookInLaunchers() {
        LookInSubfolders(InHome(kLutrisPrefixes));
        LookInGameFiles(InHome(kLutrisGames), kLutrisGameSuffix, PrefixInLutrisGame);
        LookInSubfolders(InHome(kBottlesPrefixes));
        if (!environment_.xdgDataHome.empty())
            LookInSubfolders(JoinPath(environment_.xdgDataHome, kBottlesInDataHome));
        for (const Text& folder : kPrefixFolders) LookInSubfolders(InHome(folder));
        LookInGameFiles(InHome(kHeroicGames), kHeroicGameSuffix, PrefixInHeroicGame);
    }

    PrefixCandidates Found() { return std::move(candidates_); }

    PrefixCandidates NoHome() {
        candidates_.noHome = true;
        return Found();
    }

private:
    Text InHome(const Text& path) const { return JoinPath(environment_.home, path); }

    void LookInSteamRoot(const Text& root) {
        if (!TakeLibrary(root)) return;
        LookInSteamLibrary(root);
        const List<Text> libraries = SteamLibrariesOf(files_, root, candidates_.problems);
        for (std::size_t i = 1; i < libraries.size(); ++i)
            if (TakeLibrary(libraries[i])) LookInSteamLibrary(libraries[i]);
    }

    void LookInSteamLibrary(const Text& library) {
        candidates_.steamLibraries.push_back(library);
        LookInSubfolders(FindIgnoringCase(library, kProtonPrefixes), kPrefixInFolder);
    }

    // Every subfolder of `folder` (or, with `inside`, its subfolder of that
    // name) that is a prefix.
    void LookInSubfolders(const Text& folder, const Text& inside = Text()) {
        const Text pattern = JoinPath(folder, kAnyFolder);
        candidates_.places.push_back(inside.empty() ? pattern : JoinPath(pattern, inside));
        const Result<List<Text>> names = SubfolderNames(folder);
        if (!names) return Skip(folder, names.Why());
        for (const Text& name : *names) {
            const Text candidate = JoinPath(folder, name);
            ConsiderPrefix(inside.empty() ? candidate : JoinPath(candidate, inside));
        }
    }

    // The prefixes a launcher's files for each game name.
    void LookInGameFiles(const Text& folder, const Text& suffix, PrefixReader read) {
        candidates_.places.push_back(JoinPath(folder, kAnyFolder + suffix));
        const Result<List<Text>> names = EntryNames(folder);
        if (!names) return Skip(folder, names.Why());
        for (const Text& name : *names) {
            if (!EndsWith(name, suffix)) continue;
            const Text path = JoinPath(folder, name);
            const Result<Text> text = files_.ReadTextFile(path);
            const Result<std::optional<Text>> named = text ? read(*text) : text.Why();
            if (!named) Skip(path, named.Why());
            else if (*named) ConsiderPrefix(**named);
        }
    }

    bool TakeLibrary(const Text& library) {
        return TakeFirst(library, libraryIdentities_, libraryPaths_);
    }

    // A folder holding no system.reg, but whose pfx/ does, stands for that.
    void ConsiderPrefix(const Text& folder) {
        const Result<bool> registry = EntryExists(JoinPath(folder, kPrefixRegistryFile));
        if (!registry) return Skip(folder, registry.Why());
        if (!*registry) {
            const Text inner = JoinPath(folder, kPrefixInFolder);
            const Result<bool> innerRegistry = EntryExists(JoinPath(inner, kPrefixRegistryFile));
            if (!innerRegistry) return Skip(inner, innerRegistry.Why());
            if (*innerRegistry) ConsiderPrefix(inner);
            return;
        }
        if (TakeFirst(folder, prefixIdentities_, prefixPaths_)) candidates_.prefixes.push_back(folder);
    }

    // A folder or file that may name a prefix but cannot be used.
    void Skip(const Text& place, Outcome why) {
        candidates_.problems.push_back({SearchProblem::Kind::Skipped, place, Text(), std::move(why)});
    }

    // True the first time: by identity when the path leads somewhere, else
    // by the path itself.
    static bool TakeFirst(const Text& path, List<FileIdentity>& identities, List<Text>& paths) {
        if (const Result<FileIdentity> identity = IdentityOf(path)) {
            for (const FileIdentity& seen : identities)
                if (seen == *identity) return false;
            identities.push_back(*identity);
            return true;
        }
        for (const Text& seen : paths)
            if (seen == path) return false;
        paths.push_back(path);
        return true;
    }

    FileSystem& files_;
    const SearchEnvironment& environment_;
    PrefixCandidates candidates_;
    List<FileIdentity> libraryIdentities_, prefixIdentities_;
    List<Text> libraryPaths_, prefixPaths_;
};

}  // namespace

PrefixCandidates WinePrefixesToSearch(FileSystem& files, const SearchEnvironment& environment) {
    Search search(files, environment);
    if (!environment.winePrefix.empty()) {
        search.LookAtNamedPrefix(environment.winePrefix, "WINEPREFIX");
        return search.Found();
    }
    if (!environment.steamCompatDataPath.empty()) {
        search.LookAtNamedPrefix(JoinPath(environment.steamCompatDataPath, kPrefixInFolder),
                                 "STEAM_COMPAT_DATA_PATH's");
        return search.Found();
    }
    if (environment.home.empty()) return search.NoHome();
    search.LookAtPrefix(JoinPath(environment.home, kDefaultWinePrefix));
    search.LookInSteamRoots();
    search.LookInLaunchers();
    return search.Found();
}

}  // namespace tolvaren
