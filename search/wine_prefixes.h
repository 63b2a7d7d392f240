#pragma once
// Which Wine prefixes to search, and in which order. A folder is a prefix
// when it holds system.reg; a folder of a launcher's that holds none, but
// whose pfx/ does, stands for that one (Lutris's store games, Heroic's
// Proton prefixes, umu-launcher).
#include "core/file.h"
#include "core/install_location.h"

namespace tolvaren {

// The file that makes a folder a prefix: Wine's HKEY_LOCAL_MACHINE.
inline const Text kPrefixRegistryFile = "system.reg";

// What the environment tells the search, passed in rather than read here;
// an empty value is one that is not set.
struct SearchEnvironment {
    Text home = Text();                 // HOME
    Text winePrefix = Text();           // WINEPREFIX
    Text steamCompatDataPath = Text();  // STEAM_COMPAT_DATA_PATH: Steam sets it for a game's launch
    Text xdgDataHome = Text();          // XDG_DATA_HOME
    Text steamCompatInstallPath = Text();  // STEAM_COMPAT_INSTALL_PATH: the game's own folder, ditto
    Text xdgConfigHome = Text();        // XDG_CONFIG_HOME
    Text winePrefixes = Text();         // WINE_PREFIXES: where winetricks keeps its prefixes
    List<Text> driveFolders = {};       // where the player's drives are mounted, each drive a subfolder
};

// A game's folder a launcher lists, and where.
struct ListedGameFolder {
    Text folder;
    Text listedIn;
};

struct PrefixCandidates {
    List<Text> prefixes;        // each real folder once, by the first way found to it
    List<Text> steamLibraries;  // each real folder once, for the games without a record
    List<ListedGameFolder> gameFolders;  // the launchers' game folders, for the same
    List<Text> places;          // where it looked ("*" where it listed a folder)
    List<SearchProblem> problems;  // a file that could not be read, a named prefix that is none
    bool noHome = false;        // HOME is not set: nothing under it was looked at
};

// WINEPREFIX, when set, is the one place; else STEAM_COMPAT_DATA_PATH's
// pfx/, as Steam runs the game. Else, in order: ~/.wine; the Steam roots
// ~/.steam/steam (or, without it, ~/.steam/root and Debian's
// ~/.steam/debian-installation), ~/.local/share/Steam,
// $XDG_DATA_HOME/Steam, Flatpak's and Snap's; each root is a library, and so
// is every path its steamapps/libraryfolders.vdf names, each library's
// prefixes being steamapps/compatdata/*/pfx; then the launchers' prefix
// folders and the prefixes their files name: Lutris (~/Games/*, its game
// files in the configuration and data folders, native and Flatpak),
// Bottles, Heroic (its prefix folders, its game settings, native and
// Flatpak; its GOG list names game folders), umu-launcher, PlayOnLinux,
// CrossOver, PortProton (its folders and the one its configuration names),
// Faugus Launcher (its folders and games list), Minigalaxy (a prefix in each
// game's folder) and winetricks ($WINE_PREFIXES, else
// $XDG_DATA_HOME/wineprefixes). Within a library,
// "steamapps" and "compatdata", and a listed library's path, match without
// regard to letter case when the exact name is not there.
PrefixCandidates WinePrefixesToSearch(FileSystem& files, const SearchEnvironment& environment);

// Where the places above hold no installation: a bounded look a few folders
// down the home and each drive mounted in the drive folders (not over the
// network), for the prefixes no launcher names, other than `known`. Nothing
// where WINEPREFIX or a Steam launch names the one place, or HOME is unset.
PrefixCandidates PrefixesElsewhere(FileSystem& files, const SearchEnvironment& environment,
                                   const List<Text>& known);

}  // namespace tolvaren
