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
#include <vector>

#include "core/outcome.h"

namespace tolvaren {

struct SteamLibraryList {
    // Every key "path" (any letter case, any depth) with a text value, and
    // every numbered key with a text value right in the outer block, in order.
    std::vector<Text> paths;
    Outcome outcome;          // Done, Unreadable or Malformed
};

// When the text is malformed, the paths before the fault are kept and the
// outcome's detail says where it is ("line 7: …").
SteamLibraryList LibraryPathsInVdf(std::string_view vdfText);

// The same from a file, for the Linux search. A missing file is no
// problem: it names no library.
SteamLibraryList LibraryPathsInVdfFile(const Text& path);



}  // namespace tolvaren
