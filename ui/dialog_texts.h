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

// What a restart with administrator rights would meet, for a standard
// user's refusal (NotElevated).
struct RestartSituation {
    bool cannotElevate = false;        // User Account Control is off: nothing can raise the rights
    bool otherAccount = false;         // Windows asks for another account's password
    Text playersCopy = Text();         // the player's own copy of the archive (VirtualStore), or empty
    bool recordOnlyForPlayer = false;  // the install record is in the player's VirtualStore alone
};

// A restart is offered unless Windows cannot raise the rights, or it would
// run as an account that cannot find the game.
bool OffersRestart(const RestartSituation& situation);

// The refusal, with the question where a restart is offered (answered Yes
// or No), and what only the player's own account knows.
Text RestartText(const RestartSituation& situation, const Text& archivePath);

}  // namespace tolvaren
