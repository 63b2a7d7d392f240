#pragma once
// What the user is told: the confirmations of a switch and, for each reason
// something could not be done, the program's message, the command-line
// tool's message and its exit code. The one place where a reason is put
// into words.
#include "core/outcome.h"

namespace tolvaren {

// What a written switch tells the user, for each direction.
inline constexpr char kEnabledMessage[] = "Extra vehicles have been enabled.";
inline constexpr char kDisabledMessage[] = "Extra vehicles have been disabled.";
// Said after why the program's start-up could not read the vehicle list.
inline constexpr char kStateNotReadNote[] =
    "Until a click reads the vehicle list, the check mark does not show its state.";

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
// Empty for Done and for the reasons only the search meets.
Text DialogText(const Outcome& outcome, const Text& archivePath);

// For the command-line tool, without its name in front. `path` is the
// archive's; for NotInstalled where the search looked, one place a line;
// for the search's reasons the file or folder concerned.
Text CommandLineText(const Outcome& outcome, const Text& path);

// A few words, for a list ("in use (PID 1 (game.exe))").
Text ReasonLabel(const Outcome& outcome);

ExitCode ExitCodeFor(Reason reason);

}  // namespace tolvaren
