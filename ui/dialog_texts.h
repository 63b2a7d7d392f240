#pragma once
// What the program tells the user: for each reason it can meet, its message.
#include "core/outcome.h"

namespace tolvaren {

// Said after why the program's start-up could not read the vehicle list.
inline constexpr char kStateNotReadNote[] =
    "Until a click reads the vehicle list, the check mark does not show its state.";

// For the program's message box; `archivePath` where the text names it.
// Empty for Done and for the reasons only the command-line tool meets.
Text DialogText(const Outcome& outcome, const Text& archivePath);

}  // namespace tolvaren
