#pragma once
#include <functional>
#include <string_view>

#include "core/archive_location.h"
#include "core/file.h"

namespace tolvaren {

enum class PatchOutcome {
    Written,        // the whole transformed entry was written back
    NoVehicleList,  // nothing usable was found at start-up
    NotWritable,    // the archive could not be opened for writing, has shrunk, or the write failed
};

// Receives the stored bytes; must return a text of the same length.
using Transformation = std::function<Text(std::string_view)>;

// Reads the entry afresh at the remembered place, transforms it and writes it
// back over itself. Writes only when the whole entry lies inside the file, so
// the archive's length never changes; on any outcome but Written the
// archive's bytes are as they were.
PatchOutcome RewriteInPlace(FileSystem& files, const ArchiveLocation& location,
                            const Transformation& transform);

}  // namespace tolvaren
