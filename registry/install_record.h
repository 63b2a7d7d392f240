#pragma once
// The game's install record in HKEY_LOCAL_MACHINE, as the program and the
// Windows build of the command-line tool read it.
#include <windows.h>

#include "core/file.h"
#include "core/install_location.h"
#include "registry/registry_helpers.h"

namespace tolvaren {

// The record as the key opened with `access` (a view flag included) holds
// it, read into a buffer of `capacity` bytes.
Result<RegValue> ReadInstallRecord(REGSAM access, DWORD capacity = kRegStringBytes);

// The first record a virtualized installer left for this user.
Result<RegValue> ReadVirtualStoreRecord(REGSAM access, DWORD capacity = kRegStringBytes);

// The program's lookup: full access first and any value type, as
// GetRegString reads. A standard user is refused full access to the
// machine's registry: then read access. Where the machine has no record,
// the one a virtualized installer left for this user. The folder, or
// NotInstalled when there is none, RecordTooLong when it does not fit the
// lookup's buffer, NotSpellable when the process's code page cannot spell it.
Result<Text> ProgramInstallFolder();

// Whether the only install record is the one a virtualized installer left
// for this user: another account does not see it.
bool InstallRecordOnlyForThisUser();

// The tool's: read access is enough; the 32-bit view first, where the
// 32-bit game's installer writes, then the native one, then this user's
// virtualized copy; string values only, of any length. Then the games of
// the Steam libraries of the Steam folder the registry names for this user.
InstallationSearch FindRegistryInstallations(FileSystem& files);

}  // namespace tolvaren
