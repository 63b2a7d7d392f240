#pragma once
// Who else has a file open, as fuser finds it: every process whose open
// files include the same device and inode. Processes that cannot be
// inspected are skipped.
#include <sys/types.h>

#include "core/text.h"

namespace tolvaren {

// "PID 1234 (game.exe), PID 99 (wineserver)"; empty when no other process
// is seen holding it.
Text OtherProcessesHolding(dev_t device, ino_t inode);

// "PID 1234 (game.exe)" for one process.
Text DescribeProcess(pid_t pid);

}  // namespace tolvaren
