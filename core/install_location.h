#pragma once
// Where the game is installed, as its installer recorded it in the
// registry, and what a search for installed games finds.
#include <vector>

#include "core/outcome.h"

namespace tolvaren {

// The game's key under HKEY_LOCAL_MACHINE\Software. The paths made of it are
// literals, so that the program file holds them without start-up code.
#define TOLVAREN_INSTALL_KEY "THQ\\MXvsATV\\Install"
inline constexpr char kInstallKeyPath[] = "Software\\" TOLVAREN_INSTALL_KEY;
// The same key as a 32-bit program sees it on 64-bit Windows (and in a
// 64-bit Wine prefix), where HKLM\Software of 32-bit programs is kept.
inline constexpr char kInstallKeyPath32[] = "Software\\Wow6432Node\\" TOLVAREN_INSTALL_KEY;
// Where Windows keeps, under HKEY_CURRENT_USER, what a program it
// virtualized wrote to HKEY_LOCAL_MACHINE\Software for the user who ran it:
// a 32-bit program on 64-bit Windows writes through Wow6432Node, on 32-bit
// Windows without.
inline constexpr const char* kVirtualStoreInstallKeyPaths[] = {
    "Software\\Classes\\VirtualStore\\MACHINE\\Software\\Wow6432Node\\" TOLVAREN_INSTALL_KEY,
    "Software\\Classes\\VirtualStore\\MACHINE\\Software\\" TOLVAREN_INSTALL_KEY};
inline constexpr char kInstallValueName[] = "Path";
inline constexpr char kArchiveSuffix[] = "\\Data\\common.pak";

// The install directory followed by the suffix, joined as they are: no
// separator added or removed, no test of either part.
inline Text ArchivePathFor(const Text& installDirectory) {
    return installDirectory + kArchiveSuffix;
}

// What the program's lookup of the install record gives: the folder, or
// why there is none to use (NotInstalled, RecordTooLong).
struct RecordedFolder {
    Text folder;
    Outcome outcome;
};

// The source of a game found in a Steam library by its archive, before the
// library's folder.
inline constexpr char kSteamLibrarySource[] = "Steam library ";

struct Installation {
    Text archivePath;  // Data\common.pak; best effort when it is missing
    Text source;       // where the record was: a Wine prefix's folder, or a registry view
};

struct InstallationSearch {
    std::vector<Installation> found;  // in search order
    std::vector<Text> warnings;       // one line each, e.g. "skipping <prefix>: system.reg: <why>"
    std::vector<Text> places;         // where it looked, for a "not found" message
    Text narrowing;                   // how else to pick one of several, if there is a way
};

}  // namespace tolvaren
