#pragma once
// The Wine prefixes that launchers' own files for each game name, wherever
// the prefix is. Each file is read as plain text for that one setting:
//   Lutris, ~/.config/lutris/games/*.yml: a line "prefix: /path/to/prefix"
//   (YAML, the value plain or quoted);
//   Heroic, ~/.config/heroic/GamesConfig/*.json: the key "winePrefix" with
//   a JSON string.
#include <optional>
#include <string_view>

#include "core/outcome.h"

namespace tolvaren {

struct ConfiguredPrefix {
    std::optional<Text> folder;  // none where the game has no prefix (a native one)
    Outcome outcome;             // Done, or Malformed with where ("line 3: …")
};

ConfiguredPrefix PrefixInLutrisGame(std::string_view yml);
ConfiguredPrefix PrefixInHeroicGame(std::string_view json);

}  // namespace tolvaren
