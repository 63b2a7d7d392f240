#pragma once
// Where a Windows path of a Wine prefix lies on the Unix side, found as
// Wine finds it: the drive through the prefix's dosdevices/ symlinks (c: is
// usually ../drive_c, z: is /), then each component as written or, when
// that is missing, the entry of that folder equal to it without regard to
// ASCII letter case (Windows ignores case, Linux folders do not).
#include <optional>

#include "core/text.h"

namespace tolvaren {

// The Unix path of `windowsPath` ("C:\Games\X", also "\\?\C:\…"; '/' counts
// as a separator, empty and "." components are dropped, ".." goes up) in the
// prefix folder `prefix`. The drive's symlink is followed to its real path.
// When a component is missing, the rest follows as written: a best-effort
// path to report. Nullopt when the path does not start with a drive letter.
std::optional<Text> UnixPathInPrefix(const Text& prefix, const Text& windowsPath);

}  // namespace tolvaren
