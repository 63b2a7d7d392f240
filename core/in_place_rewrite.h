#pragma once
// Switching the extra vehicles: the vehicle list rewritten in place in the
// archive, keeping its size.
#include <cstdint>

#include "core/archive.h"
#include "core/result.h"

namespace tolvaren {

// Opens the archive at `location.path` by the opening rule, looks at its
// directory again (the archive may have been replaced since the last look:
// a game update, a mod manager re-packing it) and records in `location`
// where the vehicle list now lies; reads the list there, turns every switched
// key's prefix to the requested state (non-zero = enable) and writes back
// the bytes that changed, and nothing when none did. Before it writes,
// between its two phases and after its last write it makes sure that no
// other program got in meanwhile (InUse, SwitchStopped,
// OpenedDuringLastWrite, ArchiveReplaced), and writes nothing more once one
// did.
//
// Writes only inside the entry, so the archive's length never changes, and
// only a list that then reads as the requested state (CannotDisable
// otherwise). The bytes of the state marker are written last, after the
// others are on the disk: an interruption leaves the list reading as the
// state it had (unless it stops a disable among several markers, the first
// of which already reads as disabled), and the same switch finishes it. On any outcome but Done the
// archive is as it was, except after WriteFailedNotPutBack, SwitchStopped
// and OpenedDuringLastWrite. Reads `requestedState` once and never writes
// it.
//
// A switch that was written, and what could not be looked at to be sure
// that no other program had the archive open (Done, or OthersUnseen /
// OthersHidden).
struct Switched {
    Outcome caveat;
};
Result<Switched> RewriteVehicleList(FileSystem& files, ArchiveLocation& location,
                                    const std::int32_t& requestedState);

}  // namespace tolvaren
