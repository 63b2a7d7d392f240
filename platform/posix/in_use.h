#pragma once
// Whether another process has a file open or locked. Programs under Wine
// get no enforced sharing modes, so this is how a running game is seen.
#include <sys/stat.h>

#include <optional>

#include "core/outcome.h"
#include "platform/posix/signals.h"

namespace tolvaren {

// Done when no other process has the file of `fd` open or locked (flock or
// fcntl); else InUse, naming the holders where they can be seen
// ("PID 1234 (game.exe), PID 99 (wineserver)"). When Done, a write lease is
// kept on `fd` where the system grants one, so that another program's open
// waits until `fd` is closed; `leaseNotice` keeps the lease's break notice
// ignored and must outlive `fd`.
Outcome TakeSoleUse(int fd, const struct stat& status, std::optional<SignalIgnored>& leaseNotice);

}  // namespace tolvaren
