#pragma once
// What launchers' own files for each game say, read as their own libraries
// write them: YAML (Lutris) by libyaml, JSON (Heroic, Faugus, Minigalaxy) by
// nlohmann-json.
#include <optional>
#include <string_view>

#include "core/list.h"
#include "core/result.h"

namespace tolvaren {

// A Lutris game file's "game:" section: the prefix it names, and the game's
// exe (Lutris finds the prefix from it where the file names none).
struct LutrisGame {
    std::optional<Text> prefix;
    std::optional<Text> exe;
};

// Malformed, with the line and libyaml's words, where the file is no YAML.
Result<LutrisGame> ReadLutrisGame(std::string_view yml);

// Every string the JSON text holds under the key `key`, at any depth, in
// order; Malformed where the text is no JSON.
Result<List<Text>> JsonStringsNamed(std::string_view json, std::string_view key);

}  // namespace tolvaren
