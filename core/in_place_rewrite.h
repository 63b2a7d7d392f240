#pragma once
#include <cstddef>
#include <functional>

#include "core/archive_location.h"
#include "core/file.h"
#include "core/turned_bytes.h"

namespace tolvaren {

enum class PatchOutcome {
    Written,        // the whole transformed entry was written back
    NoVehicleList,  // nothing usable was found at start-up
    NotWritable,    // the archive could not be opened for writing, has shrunk, or the write failed
};

// Changes the stored bytes in place, keeping their number, and returns what
// it turned.
using Transformation = std::function<TurnedBytes(char* bytes, std::size_t size)>;

// Reads the entry afresh at the remembered place, transforms it and writes it
// back over itself. Writes only when the whole entry lies inside the file, so
// the archive's length never changes; on any outcome but Written the
// archive's bytes are as they were.
PatchOutcome RewriteInPlace(FileSystem& files, const ArchiveLocation& location,
                            const Transformation& transform);

}  // namespace tolvaren
