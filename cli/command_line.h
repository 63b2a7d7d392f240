#pragma once
#include "cli/output.h"
#include "cli/tool_texts.h"
#include "core/file.h"
#include "core/function_ref.h"
#include "core/install_location.h"

namespace tolvaren {

// Looks for the installed game, for a command line that names no archive.
using InstallationFinder = FunctionRef<InstallationSearch(FileSystem& files)>;

// `args` excludes the program name. Reports on `out`, errors on `err`;
// returns the exit code.
int RunCommandLine(const List<Text>& args, Output& out, Output& err, FileSystem& files,
                   InstallationFinder findInstallations);

}  // namespace tolvaren
