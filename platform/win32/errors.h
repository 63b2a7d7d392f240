#pragma once
// What a Win32 error code from opening, reading or writing the archive
// means, and whether this process runs with administrator rights.
#include <windows.h>

#include "core/outcome.h"

namespace tolvaren {

// The reason a code is told by; a code not named here gets its number and
// the system's own words, rather than a guess.
Outcome OutcomeOfWindowsError(DWORD code);

// What the file layer looks up about an open that failed.
struct RefusalFacts {
    DWORD attributes = INVALID_FILE_ATTRIBUTES;  // of the file, where it can be had
    bool readOnlyVolume = false;                 // FILE_READ_ONLY_VOLUME
    bool elevated = true;                        // see RunsElevated
    UINT driveType = DRIVE_FIXED;                // GetDriveTypeA of the path's root
    bool forWriting = false;                     // the open asked to write
};

// A failed open told by its cause. Writing refused (access denied,
// write-protected): a read-only drive, a folder in the file's place, the
// file's read-only attribute, a network share, a standard user's rights,
// or (for an administrator) the file's permissions or security software;
// each has its own way out, and only a standard user's rights are helped
// by a restart. Not found: a drive that is gone, or, for writing, a file
// that is there all the same, which is how security software such as
// Controlled Folder Access refuses a change.
Outcome OutcomeOfFailedOpen(DWORD error, const RefusalFacts& facts);

// "Windows error 1117: The request could not be performed because of an
// I/O device error".
Text WindowsErrorText(DWORD code);



// True where the process holds administrator rights, and where Windows
// cannot tell (no User Account Control): then asking for them again would
// change nothing.
bool RunsElevated();

// Who a restart with administrator rights runs as: the same account (an
// administrator's, which consents), another one whose password is asked (a
// standard user's), with its own registry and profile, or none: without
// User Account Control Windows raises no program's rights.
enum class RestartAccount { Same, Other, None };
RestartAccount RestartAccountFor(TOKEN_ELEVATION_TYPE type, bool userAccountControl);
TOKEN_ELEVATION_TYPE ElevationTypeOfThisProcess();
// Whether User Account Control is on (EnableLUA; on where not set).
bool UserAccountControlIsOn();

}  // namespace tolvaren
