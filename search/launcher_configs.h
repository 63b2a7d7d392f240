#pragma once
// The Wine prefixes that launchers' own files for each game name, wherever
// the prefix is. Each file is read as plain text for that one setting:
//   Lutris, ~/.config/lutris/games/*.yml: a line "prefix: /path/to/prefix"
//   (YAML, the value plain or quoted);
//   Heroic, ~/.config/heroic/GamesConfig/*.json: the key "winePrefix" with
//   a JSON string.
#include <optional>
#include <string_view>

#include "core/result.h"

namespace tolvaren {

// The prefix's folder; none where the game has none (a native one); or
// Malformed with where ("line 3: …").
Result<std::optional<Text>> PrefixInLutrisGame(std::string_view yml);
Result<std::optional<Text>> PrefixInHeroicGame(std::string_view json);

}  // namespace tolvaren
