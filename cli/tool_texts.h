#pragma once
// What the command-line tool says: for each reason, its message and its
// exit code, the warnings of the search and where a game was found.
#include "core/install_location.h"

namespace tolvaren {

inline constexpr char kToolName[] = "tolvaren-cli";

// Exit codes of the command-line tool.
enum ExitCode {
    kExitOk = 0,
    kExitUsage = 1,
    kExitNotChangeable = 2,  // the archive cannot be opened or written
    kExitListProblem = 3,    // what is wrong with the vehicle list
    kExitNotInstalled = 4,   // no installed game found, or several and none chosen
    kExitOutputFailed = 5,   // the result could not be written to standard output
};

// Without the tool's name in front. `path` is the archive's; for
// NotInstalled, where the search looked, one place a line.
Text ToolText(const Outcome& outcome, const Text& path);

// A few words, for a list ("in use (PID 1 (game.exe))").
Text ReasonLabel(const Outcome& outcome);

ExitCode ExitCodeFor(Reason reason);

// One line: what the search could not use, and why.
Text ProblemText(const SearchProblem& problem);

// Where an installation's record was: a prefix's folder, a registry view.
Text SourceText(const Installation& installation);

}  // namespace tolvaren
