#pragma once
// Where the game is installed, as its installer recorded it in the
// registry, and what a search for installed games finds.
#include "core/list.h"
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
// The same below a game's folder, '/'-separated as FileSystem::PathIn takes it.
inline constexpr char kArchiveInGame[] = "Data/common.pak";

// The install directory followed by the suffix, joined as they are: no
// separator added or removed, no test of either part.
inline Text ArchivePathFor(const Text& installDirectory) {
    return installDirectory + kArchiveSuffix;
}

// Where the search found an installed game.
enum class Source {
    Prefix,          // the install record of a Wine prefix
    SteamLibrary,    // a game folder of a Steam library, by its archive
    SteamLaunch,     // the game's folder Steam names to a game it starts (STEAM_COMPAT_INSTALL_PATH)
    ListedFolder,    // a game's folder a launcher lists (in `place`), by its archive
    Registry32,      // this machine's install record, 32-bit view
    RegistryNative,  // ... native view
    VirtualStore,    // the record a virtualized installer left for this user
};

struct Installation {
    Text archivePath;  // Data\common.pak; best effort when it is missing
    Text place;        // the prefix's folder, or the Steam library's; empty for the registry
    Source source = Source::Prefix;
};

// Something the search looked at and could not use, and why.
struct SearchProblem {
    enum class Kind {
        Skipped,     // `place` was not searched: `file` in it (or it itself) could not be used
        ReadInPart,  // the list `place` was read only as far as it is well formed
    };
    Kind kind = Kind::Skipped;
    Text place;
    Text file;  // within `place`, the file at fault (system.reg); empty when `place` is
    Outcome why;  // Unreadable, FileTooLarge, LineTooLong, NotARegistry, Malformed,
                  // NotOnADrive, NotAPrefix (its detail: the setting that named it)
};

struct InstallationSearch {
    List<Installation> found;  // in search order, each archive once
    List<SearchProblem> problems;
    List<Text> places;         // where it looked ("*" where it listed a folder)
    bool noHome = false;       // HOME is not set: nothing under it was looked at
};

}  // namespace tolvaren
