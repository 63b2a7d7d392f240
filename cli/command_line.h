#pragma once
#include <functional>
#include <vector>

#include "cli/output.h"
#include "core/file.h"
#include "core/install_location.h"
#include "core/reason_texts.h"

namespace tolvaren {

inline constexpr char kToolName[] = "tolvaren-cli";

// Looks for the installed game, for a command line that names no archive.
using InstallationFinder = std::function<InstallationSearch()>;

// `args` excludes the program name. Reports on `out`, errors on `err`;
// returns the exit code.
int RunCommandLine(const std::vector<Text>& args, Output& out, Output& err,
                   FileSystem& files, const InstallationFinder& findInstallations);

}  // namespace tolvaren
