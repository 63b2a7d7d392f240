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
// A key is followed by its text value or by a { } block of keys. Tokens are
// quoted (\" and \\ stand for '"' and '\'; any other backslash stays as
// written) or bare; a bare token in brackets after a value is a platform
// condition and is ignored.
#include <string_view>
#include <vector>

#include "core/outcome.h"

namespace tolvaren {

struct SteamLibraryList {
    std::vector<Text> paths;  // every key "path" (any letter case, any depth) with a text value, in order
    Outcome outcome;          // Done, Unreadable or Malformed
};

// When the text is malformed, the paths before the fault are kept and the
// outcome's detail says where it is ("line 7: …").
SteamLibraryList LibraryPathsInVdf(std::string_view vdfText);

// The same from a file. A missing file is no problem: it names no library.
SteamLibraryList LibraryPathsInVdfFile(const Text& path);

}  // namespace tolvaren
