#pragma once
// What a Win32 error code from opening, reading or writing the archive
// means, and whether this process runs with administrator rights.
#include <windows.h>

#include "core/outcome.h"

namespace tolvaren {

// The reason a code is told by; a code not named here gets its number and
// the system's own words, rather than a guess.
Outcome OutcomeOfWindowsError(DWORD code);

// What the file layer looks up about a refused open.
struct RefusalFacts {
    DWORD attributes = INVALID_FILE_ATTRIBUTES;  // of the file, where it can be had
    bool readOnlyVolume = false;                 // FILE_READ_ONLY_VOLUME
    bool elevated = true;                        // see RunsElevated
};

// Writing refused (`error`: access denied or write-protected) told by its
// cause, each with its own way out: a read-only drive, a folder in the
// file's place, the file's read-only attribute, a standard user's rights,
// or (for an administrator) the file's permissions or security software.
Outcome OutcomeOfRefusedOpen(DWORD error, const RefusalFacts& facts);

// "Windows error 1117: The request could not be performed because of an
// I/O device error".
Text WindowsErrorText(DWORD code);

// True where the process holds administrator rights, and where Windows
// cannot tell (no User Account Control): then asking for them again would
// change nothing.
bool RunsElevated();

}  // namespace tolvaren
