#pragma once
#include <functional>
#include <ostream>
#include <vector>

#include "core/file.h"

namespace tolvaren {

enum ExitCode { kExitOk = 0, kExitUsage = 1, kExitNotChangeable = 2, kExitNoVehicleList = 3 };

// Where the archive is when the command line names none; empty = nowhere.
using DefaultArchivePath = std::function<Text()>;

// `args` excludes the program name. Reports on `out`, errors on `err`.
int RunCommandLine(const std::vector<Text>& args, std::ostream& out, std::ostream& err,
                   FileSystem& files, const DefaultArchivePath& defaultArchive);

}  // namespace tolvaren
