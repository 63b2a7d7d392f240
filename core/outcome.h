#pragma once
// What an operation on the archive came to, with the reason kept from the
// step that decided it, so the user is told the truth about a failure.
#include "core/text.h"

namespace tolvaren {

enum class Reason {
    Done,
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
};

struct Outcome {
    Reason reason = Reason::Done;
    Text holder;  // who holds the archive, when the platform can tell

    Outcome() = default;
    Outcome(Reason why, Text who = Text()) : reason(why), holder(std::move(who)) {}  // NOLINT
    bool Done() const { return reason == Reason::Done; }
};

}  // namespace tolvaren
