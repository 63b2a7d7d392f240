#include "search/wine_prefixes.h"

#include <climits>

#include "core/function_ref.h"
#include "platform/posix/files.h"
#include "platform/posix/mounts.h"
#include "search/launcher_configs.h"
#include "search/prefix_sweep.h"
#include "search/steam_libraries.h"

namespace tolvaren {
namespace {

const Text kAnyFolder = "*";
// Below a root of the bounded look, in "Looked in".
const Text kAnyDepth = "...";

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
// Folders whose every subfolder may be a prefix, under HOME: Lutris's,
// Bottles's (Flatpak), Heroic's, umu-launcher's, PlayOnLinux's, CrossOver's
// bottles, PortProton's (its default folder and its Flatpak's), Faugus
// Launcher's (and its old one).
const Text kLutrisPrefixes = "Games";
const Text kBottlesPrefixes = ".local/share/bottles/bottles";
const Text kPrefixFolders[] = {
    ".var/app/com.usebottles.bottles/data/bottles/bottles",
    "Games/Heroic/Prefixes",
    "Games/Heroic/Prefixes/default",
    "Games/umu",
    ".PlayOnLinux/wineprefix",
    ".cxoffice",
    "PortProton/data/prefixes",
    "PortWINE/PortProton/data/prefixes",
    ".var/app/ru.linux_gaming.PortProton/data/prefixes",
    "Faugus",
};
// Under the data and the configuration folder.
const Text kPortProtonDataPrefixes = "PortWINE/PortProton/data/prefixes";
const Text kFaugusPrefixes = "faugus-launcher/prefixes";

// Where the launchers keep their files for each game. Lutris 0.5.15 and
// later keep them in the data folder when there is no configuration folder
// of old; Flatpak Lutris in either, by version.
const Text kLutrisGames = "lutris/games";
const Text kLutrisFlatpakGames[] = {".var/app/net.lutris.Lutris/config/lutris/games",
                                    ".var/app/net.lutris.Lutris/data/lutris/games"};
const Text kLutrisGameSuffix = ".yml";
const Text kHeroicGames = "heroic/GamesConfig";
const Text kHeroicFlatpakGames = ".var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig";
const Text kHeroicGameSuffix = ".json";
const Text kHeroicPrefixKey = "winePrefix";
// Heroic's GOG games that wrote no record: their folders, listed.
const Text kHeroicGogList = "heroic/gog_store/installed.json";
const Text kHeroicFlatpakGogList = ".var/app/com.heroicgameslauncher.hgl/config/heroic/gog_store/installed.json";
const Text kHeroicGameFolderKey = "install_path";
const Text kFaugusGames = "faugus-launcher/games.json";
const Text kFaugusFlatpakGames[] = {".var/app/io.github.Faugus.faugus-launcher/config/faugus-launcher/games.json",
                                    ".var/app/io.github.Faugus.faugus-launcher/data/faugus-launcher/games.json"};
const Text kFaugusPrefixKey = "prefix";
// PortProton names the folder chosen at install in the first line of this
// file, always under ~/.config.
const Text kPortProtonSetting = ".config/PortProton.conf";
const Text kPortProtonPrefixes = "data/prefixes";
// Minigalaxy keeps a prefix in each game's folder.
const Text kMinigalaxySettings = "minigalaxy/config.json";
const Text kMinigalaxyFlatpakSettings = ".var/app/io.github.sharkwouter.Minigalaxy/config/minigalaxy/config.json";
const Text kMinigalaxyFolderKey = "install_dir";
const Text kMinigalaxyDefaultFolder = "GOG Games";
const Text kPrefixInGameFolder = "prefix";
// winetricks: WINE_PREFIXES, else this under the data folder.
const Text kWinetricksPrefixes = "wineprefixes";

// Where XDG_DATA_HOME and XDG_CONFIG_HOME lead when unset.
const Text kDataHome = ".local/share";
const Text kConfigHome = ".config";
const Text kSteamInDataHome = "Steam";
const Text kBottlesInDataHome = "bottles/bottles";

// In a Steam library, and in the folder STEAM_COMPAT_DATA_PATH names.
const Text kProtonPrefixes = "steamapps/compatdata";
const Text kPrefixInFolder = "pfx";

bool EndsWith(const Text& text, const Text& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Lutris expands a leading "~" as Python does.
Text WithLeadingTildeExpanded(const Text& path, const Text& home) {
    if (path == "~" || path.rfind("~/", 0) == 0) return home + path.substr(1);
    return path;
}

// Heroic replaces the first "~", wherever it is.
Text WithFirstTildeReplaced(const Text& path, const Text& home) {
    const std::size_t tilde = path.find('~');
    return tilde == Text::npos ? path : Text(path).replace(tilde, 1, home);
}

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
        LookInLutrisGames();
        LookInSubfolders(InHome(kBottlesPrefixes));
        if (!environment_.xdgDataHome.empty())
            LookInSubfolders(JoinPath(environment_.xdgDataHome, kBottlesInDataHome));
        for (const Text& folder : kPrefixFolders) LookInSubfolders(InHome(folder));
        LookInSubfolders(DataHome(kPortProtonDataPrefixes));
        LookInSubfolders(ConfigHome(kFaugusPrefixes));
        LookInHeroicGames();
        LookInPortProtonsFolder();
        LookInFaugusGames();
        LookInMinigalaxyGames();
        LookInSubfolders(!environment_.winePrefixes.empty() ? environment_.winePrefixes
                                                             : DataHome(kWinetricksPrefixes));
    }

    // A few levels down the home and the player's mounted drives, for
    // prefixes no launcher above names; never over the network.
    void LookEverywhereElse(const List<Text>& known) {
        List<Text> roots{environment_.home};
        for (const Text& drives : environment_.driveFolders) {
            candidates_.places.push_back(JoinPath(JoinPath(drives, kAnyFolder), kAnyDepth));
            if (const Result<List<Text>> names = SubfolderNames(drives))
                for (const Text& name : *names) roots.push_back(JoinPath(drives, name));
        }
        candidates_.places.push_back(JoinPath(environment_.home, kAnyDepth));
        List<Text> remote;
        for (const Mount& mount : ThisProcessMounts())
            if (IsRemoteOrAutomount(mount)) remote.push_back(mount.point);
        for (const Text& prefix : known) TakeFirst(prefix, prefixIdentities_, prefixPaths_);
        const Sweep sweep = SweepForPrefixes(roots, remote);
        for (const Text& prefix : sweep.prefixes) ConsiderPrefix(prefix);
        for (const Text& root : sweep.capped)
            candidates_.problems.push_back({SearchProblem::Kind::ReadInPart, root, Text(),
                                            {Reason::TooManyFolders, DecimalText(kMaxSweptFolders)}});
    }

    PrefixCandidates Found() { return std::move(candidates_); }

    PrefixCandidates NoHome() {
        candidates_.noHome = true;
        return Found();
    }

private:
    Text InHome(const Text& path) const { return JoinPath(environment_.home, path); }
    Text DataHome(const Text& path) const { return XdgHome(environment_.xdgDataHome, kDataHome, path); }
    Text ConfigHome(const Text& path) const { return XdgHome(environment_.xdgConfigHome, kConfigHome, path); }
    Text XdgHome(const Text& set, const Text& unset, const Text& path) const {
        return JoinPath(set.empty() ? InHome(unset) : set, path);
    }

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

    // Lutris names the prefix, or else the exe, in a prefix of its own.
    void LookInLutrisGames() {
        const auto read = [this](const Text& path, std::string_view text) {
            const Result<LutrisGame> game = ReadLutrisGame(text);
            if (!game) return Skip(path, game.Why());
            if (game->prefix) return ConsiderNamedPrefix(path, WithLeadingTildeExpanded(*game->prefix, environment_.home));
            if (game->exe) ConsiderPrefixAbove(WithLeadingTildeExpanded(*game->exe, environment_.home));
        };
        ReadEachFile(ConfigHome(kLutrisGames), kLutrisGameSuffix, read);
        ReadEachFile(DataHome(kLutrisGames), kLutrisGameSuffix, read);
        for (const Text& folder : kLutrisFlatpakGames) ReadEachFile(InHome(folder), kLutrisGameSuffix, read);
    }

    void LookInHeroicGames() {
        const auto read = [this](const Text& path, std::string_view text) {
            const Result<List<Text>> prefixes = JsonStringsNamed(text, kHeroicPrefixKey);
            if (!prefixes) return Skip(path, prefixes.Why());
            for (const Text& prefix : *prefixes)
                ConsiderNamedPrefix(path, WithFirstTildeReplaced(prefix, environment_.home));
        };
        ReadEachFile(ConfigHome(kHeroicGames), kHeroicGameSuffix, read);
        ReadEachFile(InHome(kHeroicFlatpakGames), kHeroicGameSuffix, read);
        const auto listed = [this](const Text& path, std::string_view text) {
            const Result<List<Text>> folders = JsonStringsNamed(text, kHeroicGameFolderKey);
            if (!folders) return Skip(path, folders.Why());
            for (const Text& folder : *folders) AddGameFolder(folder, path);
        };
        LookAtFile(ConfigHome(kHeroicGogList), listed);
        LookAtFile(InHome(kHeroicFlatpakGogList), listed);
    }

    // The folder chosen at PortProton's installation.
    void LookInPortProtonsFolder() {
        LookAtFile(InHome(kPortProtonSetting), [this](const Text&, std::string_view text) {
            const Text folder(text.substr(0, text.find('\n')));
            if (!folder.empty() && folder[0] == '/') LookInSubfolders(JoinPath(folder, kPortProtonPrefixes));
        });
    }

    void LookInFaugusGames() {
        const auto read = [this](const Text& path, std::string_view text) {
            const Result<List<Text>> prefixes = JsonStringsNamed(text, kFaugusPrefixKey);
            if (!prefixes) return Skip(path, prefixes.Why());
            for (const Text& prefix : *prefixes)
                ConsiderNamedPrefix(path, WithLeadingTildeExpanded(prefix, environment_.home));
        };
        LookAtFile(DataHome(kFaugusGames), read);
        LookAtFile(ConfigHome(kFaugusGames), read);
        for (const Text& list : kFaugusFlatpakGames) LookAtFile(InHome(list), read);
    }

    // Each game in a folder of its own, its prefix inside it.
    void LookInMinigalaxyGames() {
        List<Text> installFolders{InHome(kMinigalaxyDefaultFolder)};
        const auto read = [&](const Text& path, std::string_view text) {
            const Result<List<Text>> folders = JsonStringsNamed(text, kMinigalaxyFolderKey);
            if (!folders) return Skip(path, folders.Why());
            for (const Text& folder : *folders)
                if (!folder.empty()) installFolders.push_back(WithLeadingTildeExpanded(folder, environment_.home));
        };
        LookAtFile(ConfigHome(kMinigalaxySettings), read);
        LookAtFile(InHome(kMinigalaxyFlatpakSettings), read);
        for (const Text& folder : installFolders) {
            LookInSubfolders(folder, kPrefixInGameFolder);
            candidates_.places.push_back(JoinPath(JoinPath(folder, kAnyFolder), kArchiveInGame));
            if (const Result<List<Text>> games = SubfolderNames(folder))
                for (const Text& game : *games) AddGameFolder(JoinPath(folder, game), folder);
        }
    }

    using FileReader = FunctionRef<void(const Text& path, std::string_view text)>;

    // Each file of `folder` whose name ends in `suffix`.
    void ReadEachFile(const Text& folder, const Text& suffix, FileReader read) {
        candidates_.places.push_back(JoinPath(folder, kAnyFolder + suffix));
        const Result<List<Text>> names = EntryNames(folder);
        if (!names) return Skip(folder, names.Why());
        for (const Text& name : *names)
            if (EndsWith(name, suffix)) ReadFile(JoinPath(folder, name), read);
    }

    void LookAtFile(const Text& path, FileReader read) {
        candidates_.places.push_back(path);
        ReadFile(path, read);
    }

    // A missing file names nothing.
    void ReadFile(const Text& path, FileReader read) {
        const Result<Text> text = files_.ReadTextFile(path);
        if (!text) return Skip(path, text.Why());
        if (!text->empty()) read(path, *text);
    }

    // A prefix a launcher's file names: a folder from the root, and one a
    // zero byte does not cut short (another folder would be opened than the
    // one shown).
    void ConsiderNamedPrefix(const Text& file, const Text& folder) {
        if (folder.empty()) return;
        if (folder.find('\0') != Text::npos)
            return Skip(file, {Reason::Malformed, "the prefix \"" + Excerpt(folder) + "\" holds a zero character"});
        if (folder[0] != '/')
            return Skip(file, {Reason::Malformed, "the prefix \"" + Excerpt(folder) + "\" is not an absolute path"});
        ConsiderPrefix(folder);
    }

    // As Lutris finds the prefix of a game file that names none: in the
    // exe's folder or the nearest above it, or their prefix/ or pfx/.
    void ConsiderPrefixAbove(const Text& exe) {
        if (exe.empty() || exe[0] != '/' || exe.size() > PATH_MAX) return;
        for (Text folder = exe.substr(0, exe.rfind('/')); !folder.empty(); folder = folder.substr(0, folder.rfind('/'))) {
            for (const Text& inside : {Text(), kPrefixInGameFolder, kPrefixInFolder}) {
                const Text candidate = inside.empty() ? folder : JoinPath(folder, inside);
                const Result<bool> registry = EntryExists(JoinPath(candidate, kPrefixRegistryFile));
                if (registry && *registry && IsFolder(JoinPath(candidate, "drive_c"))) return ConsiderPrefix(candidate);
            }
        }
    }

    // A game's folder a launcher lists, to be known by its archive.
    void AddGameFolder(const Text& folder, const Text& listedIn) {
        if (!folder.empty() && folder[0] == '/' && folder.find('\0') == Text::npos)
            candidates_.gameFolders.push_back({folder, listedIn});
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

PrefixCandidates PrefixesElsewhere(FileSystem& files, const SearchEnvironment& environment,
                                   const List<Text>& known) {
    Search search(files, environment);
    if (environment.winePrefix.empty() && environment.steamCompatDataPath.empty() && !environment.home.empty())
        search.LookEverywhereElse(known);
    return search.Found();
}

}  // namespace tolvaren
