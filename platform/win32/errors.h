#pragma once
// What a Win32 error code from opening, reading or writing the archive
// means, and whether this process runs with administrator rights.
#include <windows.h>

#include "core/outcome.h"

namespace tolvaren {

// The reason a code is told by; a code not named here gets its number and
// the system's own words, rather than a guess.
Outcome OutcomeOfWindowsError(DWORD code);

// "Windows error 1117: The request could not be performed because of an
// I/O device error".
Text WindowsErrorText(DWORD code);

// True where the process holds administrator rights, and where Windows
// cannot tell (no User Account Control): then asking for them again would
// change nothing.
bool RunsElevated();

}  // namespace tolvaren
