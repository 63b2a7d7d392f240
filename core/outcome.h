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
    HeldByThisProcess,  // open in this process itself, through a file it was given
    HoldersUnknown,     // who has it open cannot be seen, so it may be in use
    ArchiveReplaced,    // another file took the archive's name while it was being switched
    SwitchStopped,      // another program got in before the state marker: nothing more written
    OpenedDuringLastWrite,  // written in full, but another program got in meanwhile
    RecordTooLong,      // the install record is there, but longer than the program can use
    NotSpellable,       // a name holds letters the system's code page for 8-bit text cannot spell
    AccessDenied,       // no permission to write, although an administrator where that counts
    ChangeRefused,      // writing refused as if the file were not there (security software)
    ReadOnlyFile,       // the file itself is marked read-only
    NotElevated,        // only an administrator may write it, and this process is not one
    NotADiskFile,       // a folder, pipe or device
    CannotOpen,         // refused for a reason the platform does not name
    WriteProtected,     // the medium itself
    ReadOnlyDrive,      // the drive, volume or mount is read-only
    DriveUnavailable,   // not ready, or removed
    NetworkUnavailable,
    ShareNotWritable,   // a network share that does not let this user write
    OnlineOnly,         // a placeholder of a synced folder that cannot be fetched
    BlockedBySecurity,  // reported as infected
    DiskFull,
    FileSizeLimit,      // a limit set on this process
    PlatformError,      // anything else, in the platform's own words
    NoVehicleList,
    EntryTooLarge,
    EntryDamaged,       // the directory points outside the data area or the file
    CannotDisable,      // switching would not leave the list disabled
    WriteFailedPutBack,
    WriteFailedNotPutBack,
    OutOfMemory,        // before anything was written
    // Said beside a result, or by the program alone.
    VirtualStoreCopy,   // a per-user copy that some programs read instead of the archive
    RestartDeclined,    // the user said no to running as an administrator
    RestartFailed,      // running again as an administrator failed, in the platform's words
    OthersUnseen,       // a switch went on, but this many processes of other users were not looked at
    OthersHidden,       // a switch went on, but /proc hides other users' processes
    // What the search for an installed game could not use.
    Unreadable,         // a file or folder it needed could not be read
    FileTooLarge,       // far larger than such a file is: not read
    LineTooLong,        // a registry file's line far longer than Wine writes
    NotARegistry,       // a prefix's system.reg is not a Wine registry file
    Malformed,          // a Steam library list is not well formed
    NotOnADrive,        // a recorded install folder names no drive letter
    NotAPrefix,         // the folder WINEPREFIX (or Steam) names holds no system.reg
    TooManyFolders,     // the bounded look for prefixes stopped at its cap
};

// What a step that returns nothing else comes to; a step that returns a
// value returns a Result (core/result.h).
struct [[nodiscard]] Outcome {
    Reason reason = Reason::Done;
    // What the platform told: who holds the archive, the system's words
    // for a failed read, where a file is malformed.
    Text detail;
    // For a write that failed (WriteFailedPutBack, WriteFailedNotPutBack):
    // what stopped it, as the platform told (DiskFull, NetworkUnavailable,
    // PlatformError, ...); Done where it did not say.
    Reason cause = Reason::Done;

    Outcome() = default;
    Outcome(Reason why, Text told = Text()) : reason(why), detail(std::move(told)) {}  // NOLINT
    bool Done() const { return reason == Reason::Done; }
};

}  // namespace tolvaren
