#pragma once
// Whether another process has a file open, mapped or locked. Programs under
// Wine get no enforced sharing modes, so this is how a running game is seen.
#include <sys/stat.h>

#include <optional>

#include "core/outcome.h"
#include "platform/posix/signals.h"

namespace tolvaren {

// Done when no other process has the file of `fd` (opened with `status`)
// open, mapped or locked (flock or fcntl); else InUse, naming the holders
// where they can be seen ("PID 1234 (game.exe), PID 99 (wineserver)"),
// HeldByThisProcess when this process has it open by another descriptor, or
// HoldersUnknown when the system grants no lease and not every process can
// be looked at. When Done, a write lease is kept on `fd` where the system
// grants one, so that another program's open waits until `fd` is closed;
// `leaseNotice` keeps the lease's break notice ignored and must outlive `fd`.
Outcome TakeSoleUse(int fd, const struct stat& status, std::optional<SignalIgnored>& leaseNotice);

// Done while the file of `fd` still has the size and time of change it was
// opened with (`opened`) and, when `leaseHeld`, the lease is still whole:
// another program's open breaks it, and goes through once the system's
// lease-break time is over. Else InUse.
Outcome StillSoleUse(int fd, const struct stat& opened, bool leaseHeld);

}  // namespace tolvaren
