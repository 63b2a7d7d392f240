#pragma once
// Which Wine prefixes to search, and in which order: the one WINEPREFIX
// names; else ~/.wine, every Steam library's Proton prefixes, and the
// default prefix folders of Lutris, Bottles and Heroic. A folder is a
// prefix when it holds system.reg.
#include <vector>

#include "core/text.h"

namespace tolvaren {

// The file that makes a folder a prefix: Wine's HKEY_LOCAL_MACHINE.
inline const Text kPrefixRegistryFile = "system.reg";

struct PrefixCandidates {
    std::vector<Text> prefixes;  // each real folder once, by the first way found to it
    std::vector<Text> places;    // where it looked ("*" where it listed a folder), for messages
    std::vector<Text> warnings;  // one line each: a Steam library list that could not be read,
                                 // a WINEPREFIX that is no prefix
};

// `home` and `winePrefix` are the values of HOME and WINEPREFIX, passed in
// rather than read here. A non-empty `winePrefix` is the one place; an
// empty `home` gives no places under it.
//
// Steam roots, in order: ~/.steam/steam, ~/.local/share/Steam, Flatpak's
// ~/.var/app/com.valvesoftware.Steam/.local/share/Steam and Snap's
// ~/snap/steam/common/.local/share/Steam. Each root is a library, and so is
// every path its steamapps/libraryfolders.vdf names; each library's
// prefixes are steamapps/compatdata/*/pfx.
PrefixCandidates WinePrefixesToSearch(const Text& home, const Text& winePrefix);

}  // namespace tolvaren
