#pragma once
#include <functional>
#include <ostream>
#include <vector>

#include "core/file.h"
#include "core/reason_texts.h"

namespace tolvaren {

// Where the archive is when the command line names none; empty = the game
// is not installed.
using DefaultArchivePath = std::function<Text()>;

// `args` excludes the program name. Reports on `out`, errors on `err`;
// returns the exit code.
int RunCommandLine(const std::vector<Text>& args, std::ostream& out, std::ostream& err,
                   FileSystem& files, const DefaultArchivePath& defaultArchive);

}  // namespace tolvaren
