#pragma once
// The Steam libraries named in a Steam installation's
// steamapps/libraryfolders.vdf, Valve's text key-value format:
//
//   "libraryfolders"
//   {
//       "0" { "path" "/home/me/.local/share/Steam"  "apps" { "228980" "0" } }
//       "1" { "path" "/mnt/games/SteamLibrary" }   // a comment
//   }
//
// or, as Steam wrote it before mid-2021 (and an installation that has not
// run Steam since still has it), with the paths as the numbered keys' values:
//
//   "LibraryFolders" { "TimeNextStatsReport" "1589876543" "1" "/mnt/games/SteamLibrary" }
//
// A key is followed by its text value or by a { } block of keys. Tokens are
// quoted (\" and \\ stand for '"' and '\'; any other backslash stays as
// written) or bare; a bare token in brackets after a value is a platform
// condition and is ignored.
#include <string_view>

#include "core/file.h"
#include "core/install_location.h"

namespace tolvaren {

struct SteamLibraryList {
    // Every key "path" (any letter case, any depth) with a text value, and
    // every numbered key with a text value right in the outer block, in order.
    List<Text> paths;
    // Done, or Malformed with where ("line 7: …"): the paths before the
    // fault are kept.
    Outcome problem;
};

SteamLibraryList LibraryPathsInVdf(std::string_view vdfText);

// The Steam libraries of the Steam folder `steamFolder`: the folder itself,
// then each absolute path its steamapps/libraryfolders.vdf names, in order,
// as the file system finds them. A list that cannot be read, or only in
// part, adds a problem, and so does a path (UTF-8, as Steam writes it) the
// platform's 8-bit calls cannot spell.
List<Text> SteamLibrariesOf(FileSystem& files, const Text& steamFolder, List<SearchProblem>& problems);

// The games of the Steam library `library` found by their archive,
// steamapps/common/*/Data/common.pak holding the vehicle list: a game never
// started has no prefix yet, and some store versions write no record.
void AddGamesFoundByTheirArchive(FileSystem& files, const Text& library, InstallationSearch& search);

// Adds `installation` unless the same archive is found already, however
// the path that leads to it is spelled.
void AddOnce(FileSystem& files, InstallationSearch& search, Installation installation);

}  // namespace tolvaren
