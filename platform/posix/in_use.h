#pragma once
// Whether another process has a file open, mapped or locked. Programs under
// Wine get no enforced sharing modes, so this is how a running game is seen.
#include <sys/stat.h>

#include <optional>
#include <string_view>

#include "core/result.h"
#include "platform/posix/signals.h"

namespace tolvaren {

// What was not looked at to be sure that no other program has the file
// open: Done, or OthersUnseen (how many processes of other users) or
// OthersHidden (/proc hides them).
struct SoleUse {
    Outcome caveat;
};

// Whether no other process has the file of `fd` (opened with `status`)
// open, mapped or locked (flock or fcntl). Else InUse, naming the holders
// where they can be seen ("PID 1234 (game.exe), PID 99 (wineserver)"), or
// HeldByThisProcess when this process has it open by another descriptor.
// Where the system grants a write lease (to the file's owner, and root),
// the lease answers for every process, and is kept on `fd`, so that another
// program's open waits until `fd` is closed; `leaseNotice` keeps the lease's
// break notice ignored and must outlive `fd`. Without one, every process is
// looked at: all of this user's must be seen (the game runs as the player;
// else HoldersUnknown), while other users' that cannot be seen only leave a
// caveat.
Result<SoleUse> TakeSoleUse(int fd, const struct stat& status, std::optional<SignalIgnored>& leaseNotice);

// Done while the file of `fd` still has the size and time of change in
// `expected` and no other program has come to hold it: with a lease
// (`leaseHeld`), while the lease is whole (another program's open breaks
// it, and goes through once the system's lease-break time is over);
// without, by another look at every process. Else InUse.
Outcome StillSoleUse(int fd, const struct stat& expected, bool leaseHeld);

// Whether the proc file system mounted last at /proc, as
// /proc/self/mountinfo lists the mounts, hides other users' processes
// (hidepid=invisible or ptraceable).
bool ProcHidesProcesses(std::string_view mountinfo);

}  // namespace tolvaren
