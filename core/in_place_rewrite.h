#pragma once
#include <cstddef>
#include <functional>

#include "core/archive_location.h"
#include "core/file.h"
#include "core/turned_bytes.h"

namespace tolvaren {

// Changes the stored bytes in place, keeping their number, and notes what it
// turned in `turned`. Returns Done to have the result written, or the reason
// it must not be.
using Transformation = std::function<Reason(char* bytes, std::size_t size, TurnedBytes& turned)>;

// Reads the entry afresh at the remembered place of an archive opened for
// writing, transforms it and writes it back over itself. Writes only when
// the whole entry lies inside the file, so the archive's length never
// changes; on any outcome but Done the archive's bytes are as they were,
// except after WriteFailedNotPutBack.
Outcome RewriteInPlace(File& archive, const ArchiveLocation& location,
                       const Transformation& transform);

// The same, opening the archive at `location.path` by the opening rule.
Outcome RewriteInPlace(FileSystem& files, const ArchiveLocation& location,
                       const Transformation& transform);

}  // namespace tolvaren
