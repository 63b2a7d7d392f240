#include "search/wine_prefixes.h"

#include "core/reason_texts.h"
#include "platform/posix/files.h"
#include "search/launcher_configs.h"
#include "search/prefix_path.h"
#include "search/steam_libraries.h"

namespace tolvaren {
namespace {

const Text kAnyFolder = "*";

// In place of the places under HOME, when there is none.
const Text kNoHome = "no home folder: HOME is not set";

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
const Text kLibraryList = "steamapps/libraryfolders.vdf";
const Text kProtonPrefixes = "steamapps/compatdata";
const Text kPrefixInFolder = "pfx";

bool EndsWith(const Text& text, const Text& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

using PrefixReader = ConfiguredPrefix (*)(std::string_view text);

class Search {
public:
    explicit Search(const SearchEnvironment& environment) : environment_(environment) {}

    void LookAtPrefix(const Text& folder) {
        candidates_.places.push_back(folder);
        ConsiderPrefix(folder);
    }

    // The one prefix the user (or Steam) named: when it is none, they hear why.
    void LookAtNamedPrefix(const Text& folder, const char* namedBy) {
        LookAtPrefix(folder);
        if (candidates_.prefixes.empty())
            candidates_.warnings.push_back(CommandLineText({Reason::NotAPrefix, namedBy}, folder));
    }

    void LookInSteamRoots() {
        if (EntryExists(InHome(kSteamLink))) {
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

    PrefixCandidates Result() { return std::move(candidates_); }

    PrefixCandidates NoHome() {
        candidates_.places.push_back(kNoHome);
        return Result();
    }

private:
    Text InHome(const Text& path) const { return JoinPath(environment_.home, path); }

    void LookInSteamRoot(const Text& root) {
        if (!TakeLibrary(root)) return;
        const Text listPath = FindIgnoringCase(root, kLibraryList);
        const SteamLibraryList list = LibraryPathsInVdfFile(listPath);
        if (!list.outcome.Done())
            candidates_.warnings.push_back("reading " + CommandLineText(list.outcome, listPath));
        LookInSteamLibrary(root);
        for (const Text& listed : list.paths) {
            if (listed.empty() || listed[0] != '/') continue;
            const Text library = FindIgnoringCase("/", listed);
            if (TakeLibrary(library)) LookInSteamLibrary(library);
        }
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
        Outcome unlisted;
        const std::vector<Text> names = SubfolderNames(folder, &unlisted);
        if (!unlisted.Done()) Skip(folder, unlisted);
        for (const Text& name : names) {
            const Text candidate = JoinPath(folder, name);
            ConsiderPrefix(inside.empty() ? candidate : JoinPath(candidate, inside));
        }
    }

    // The prefixes a launcher's files for each game name.
    void LookInGameFiles(const Text& folder, const Text& suffix, PrefixReader read) {
        candidates_.places.push_back(JoinPath(folder, kAnyFolder + suffix));
        Outcome unlisted;
        const std::vector<Text> names = EntryNames(folder, &unlisted);
        if (!unlisted.Done()) Skip(folder, unlisted);
        for (const Text& name : names) {
            if (!EndsWith(name, suffix)) continue;
            const Text path = JoinPath(folder, name);
            Text text;
            const Outcome readFile =
                ReadRegularFile(path, [&text](std::string_view chunk) { text.append(chunk); });
            const ConfiguredPrefix named = readFile.Done() ? read(text) : ConfiguredPrefix{{}, readFile};
            if (!named.outcome.Done())
                candidates_.warnings.push_back("skipping " + CommandLineText(named.outcome, path));
            if (named.folder) ConsiderPrefix(*named.folder);
        }
    }

    bool TakeLibrary(const Text& library) {
        return TakeFirst(library, libraryIdentities_, libraryPaths_);
    }

    // A folder holding no system.reg, but whose pfx/ does, stands for that.
    void ConsiderPrefix(const Text& folder) {
        Outcome unknown;
        if (!EntryExists(JoinPath(folder, kPrefixRegistryFile), &unknown)) {
            if (!unknown.Done()) return Skip(folder, unknown);
            const Text inner = JoinPath(folder, kPrefixInFolder);
            if (!EntryExists(JoinPath(inner, kPrefixRegistryFile), &unknown)) {
                if (!unknown.Done()) Skip(inner, unknown);
                return;
            }
            return ConsiderPrefix(inner);
        }
        if (TakeFirst(folder, prefixIdentities_, prefixPaths_)) candidates_.prefixes.push_back(folder);
    }

    // A folder that may be a prefix but cannot be looked into.
    void Skip(const Text& folder, const Outcome& why) {
        candidates_.warnings.push_back("skipping " + CommandLineText(why, folder));
    }

    // True the first time: by identity when the path leads somewhere, else
    // by the path itself.
    static bool TakeFirst(const Text& path, std::vector<FileIdentity>& identities,
                          std::vector<Text>& paths) {
        if (const std::optional<FileIdentity> identity = IdentityOf(path)) {
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

    const SearchEnvironment& environment_;
    PrefixCandidates candidates_;
    std::vector<FileIdentity> libraryIdentities_, prefixIdentities_;
    std::vector<Text> libraryPaths_, prefixPaths_;
};

}  // namespace

PrefixCandidates WinePrefixesToSearch(const SearchEnvironment& environment) {
    Search search(environment);
    if (!environment.winePrefix.empty()) {
        search.LookAtNamedPrefix(environment.winePrefix, "WINEPREFIX");
        return search.Result();
    }
    if (!environment.steamCompatDataPath.empty()) {
        search.LookAtNamedPrefix(JoinPath(environment.steamCompatDataPath, kPrefixInFolder),
                                 "STEAM_COMPAT_DATA_PATH's");
        return search.Result();
    }
    if (environment.home.empty()) return search.NoHome();
    search.LookAtPrefix(JoinPath(environment.home, kDefaultWinePrefix));
    search.LookInSteamRoots();
    search.LookInLaunchers();
    return search.Result();
}

}  // namespace tolvaren
