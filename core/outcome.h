#pragma once
// What a step came to: its reason, kept from the step that decided it to
// what the user is told, and what the platform said about it, so that a
// failure is told truly.
#include <utility>

#include "core/text.h"

namespace tolvaren {

enum class Reason {
    Done,
    // The archive and its vehicle list.
    NotInstalled,       // no install folder recorded, and no archive where that leads
    ArchiveNotFound,
    InUse,              // another program has the archive open
    AccessDenied,       // read-only, or no permission to write
    NotADiskFile,       // a folder, pipe or device
    CannotOpen,         // refused for a reason the platform does not name
    NoVehicleList,
    EntryTooLarge,
    EntryDamaged,       // the directory points outside the data area or the file
    CannotDisable,      // switching would not leave the list disabled
    WriteFailedPutBack,
    WriteFailedNotPutBack,
    OutOfMemory,        // before anything was written
    // What the search for an installed game could not use.
    Unreadable,         // a file it needed could not be read
    NotARegistry,       // a prefix's system.reg is not a Wine registry file
    Malformed,          // a Steam library list is not well formed
    NotOnADrive,        // a recorded install folder names no drive letter
    NotAPrefix,         // the folder WINEPREFIX names holds no system.reg
};

struct Outcome {
    Reason reason = Reason::Done;
    // What the platform told: who holds the archive, the system's words
    // for a failed read, where a file is malformed.
    Text detail;

    Outcome() = default;
    Outcome(Reason why, Text told = Text()) : reason(why), detail(std::move(told)) {}  // NOLINT
    bool Done() const { return reason == Reason::Done; }
};

}  // namespace tolvaren
