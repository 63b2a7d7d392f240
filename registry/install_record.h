#pragma once
// The game's install record in HKEY_LOCAL_MACHINE, as the program and the
// Windows build of the command-line tool read it.
#include <windows.h>

#include "core/install_location.h"
#include "registry/registry_helpers.h"

namespace tolvaren {

// The record as the key opened with `access` (a view flag included) holds
// it, read into a buffer of `capacity` bytes.
RegText ReadInstallRecord(REGSAM access, DWORD capacity = kRegStringBytes);

// The program's lookup: full access and any value type, as GetRegString
// reads; empty when there is no record.
Text ProgramInstallFolder();

// The tool's: read access is enough (a 64-bit process without
// administrator rights would be refused full access); the 32-bit view
// first, where the 32-bit game's installer writes, then the native one;
// string values only, of any length.
InstallationSearch FindRegistryInstallations();

}  // namespace tolvaren
