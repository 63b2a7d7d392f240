#pragma once
#include "core/file.h"

namespace tolvaren {

// The native file system of the build: Win32 on Windows, POSIX elsewhere.
FileSystem& PlatformFileSystem();

}  // namespace tolvaren
