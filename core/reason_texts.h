#pragma once
// What the user is told for each reason something could not be done: the
// program's message, the command-line tool's message and its exit code.
// The one place where a reason is put into words.
#include "core/outcome.h"

namespace tolvaren {

// Exit codes of the command-line tool.
enum ExitCode {
    kExitOk = 0,
    kExitUsage = 1,
    kExitNotChangeable = 2,  // the archive cannot be opened or written
    kExitListProblem = 3,    // what is wrong with the vehicle list
    kExitNotInstalled = 4,   // no installed game found, or several and none chosen
    kExitOutputFailed = 5,   // the result could not be written to standard output
};

// For the program's message box; `archivePath` where the text names it.
Text DialogText(const Outcome& outcome, const Text& archivePath);

// For the command-line tool, without its name in front. For NotInstalled,
// `archivePath` is where the search looked, one place a line.
Text CommandLineText(const Outcome& outcome, const Text& archivePath);

// A few words, for a list ("in use (PID 1 (game.exe))").
Text ReasonLabel(const Outcome& outcome);

ExitCode ExitCodeFor(Reason reason);

}  // namespace tolvaren
