// The Windows tool's search for the installed game: the install records,
// and the games of the Steam libraries found by their archive.
#include <cctype>

#include "core/archive.h"
#include "platform/file_system.h"
#include "platform/win32/unique_handle.h"
#include "registry/install_record.h"
#include "search/steam_libraries.h"

namespace tolvaren {
namespace {

struct RegistryView {
    REGSAM flag;
    const char* name;
};
constexpr RegistryView kViews[] = {{KEY_WOW64_32KEY, "registry, 32-bit view"},
                                   {KEY_WOW64_64KEY, "registry, native view"}};
constexpr char kVirtualStoreSource[] = "registry, this user's VirtualStore";

// Where Steam records its own folder for the user.
constexpr char kSteamKeyPath[] = "Software\\Valve\\Steam";
constexpr char kSteamPathValue[] = "SteamPath";
constexpr char kLibraryList[] = "\\steamapps\\libraryfolders.vdf";
constexpr char kSteamGames[] = "\\steamapps\\common\\";
constexpr char kArchiveInGame[] = "\\Data\\common.pak";

// A library list is a few kilobytes; more is not one.
constexpr std::size_t kMaxLibraryListBytes = 1 << 20;

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// The whole of a small text file, read beside whoever has it open; empty
// when it cannot be read or is larger than `limit`.
Text ReadSmallFile(const Text& path, std::size_t limit) {
    const OpenedFile opened = PlatformFileSystem().Open(path, FileAccess::SharedRead);
    Text text;
    char chunk[4096];
    for (std::size_t got; opened.file && (got = opened.file->Read(chunk, sizeof chunk)) > 0;) {
        if (text.size() + got > limit) return Text();
        text.append(chunk, got);
    }
    return text;
}

// One spelling for one file: the full path, in one letter case, with
// backslashes.
Text SamenessKey(const Text& path) {
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    Text key = length > 0 && length < sizeof full ? Text(full, length) : path;
    for (char& c : key) c = c == '/' ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

using RecordReader = RegText (*)(REGSAM access, DWORD capacity);

// A string record of any length.
bool ReadWholeString(RecordReader read, REGSAM access, Text& folder) {
    RegText record = read(access, kRegStringBytes);
    if (record.status == ERROR_MORE_DATA) record = read(access, record.size + 1);
    if (record.status != ERROR_SUCCESS || !IsStringType(record.type) || record.text.empty())
        return false;
    folder = std::move(record.text);
    return true;
}

RegText ReadSteamPath(REGSAM access, DWORD capacity) {
    return ReadRegText(HKEY_CURRENT_USER, kSteamKeyPath, kSteamPathValue, access, capacity);
}

class Finder {
public:
    explicit Finder(InstallationSearch& search) : search_(search) {}

    // Each archive once, however many ways lead to it.
    void Add(const Text& archivePath, const Text& source) {
        const Text key = SamenessKey(archivePath);
        for (const Text& seen : keys_)
            if (seen == key) return;
        keys_.push_back(key);
        search_.found.push_back({archivePath, source});
    }

    // The games of every library of the Steam folder the registry names.
    void LookInSteamLibraries() {
        Text steam;
        if (!ReadWholeString(ReadSteamPath, KEY_READ, steam)) return;
        const Text list = ReadSmallFile(steam + kLibraryList, kMaxLibraryListBytes);
        LookInSteamLibrary(steam);
        for (const Text& library : LibraryPathsInVdf(list).paths) LookInSteamLibrary(library);
    }

private:
    void LookInSteamLibrary(const Text& library) {
        const Text games = library + kSteamGames;
        search_.places.push_back(games + "*" + kArchiveInGame);
        WIN32_FIND_DATAA entry = {};
        const UniqueFindHandle listing(FindFirstFileA((games + "*").c_str(), &entry));
        if (!listing) return;
        do {
            const Text name = entry.cFileName;
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == "." || name == "..")
                continue;
            const Text archive = games + name + kArchiveInGame;
            if (NamesVehicleList(PlatformFileSystem(), archive)) Add(archive, kSteamLibrarySource + library);
        } while (FindNextFileA(listing.get(), &entry));
    }

    InstallationSearch& search_;
    std::vector<Text> keys_;  // of search_.found, in order
};

}  // namespace

InstallationSearch FindRegistryInstallations() {
    InstallationSearch search;
    search.places = {Text("HKEY_LOCAL_MACHINE\\") + kInstallKeyPath + " (32-bit and native views)",
                     Text("HKEY_CURRENT_USER\\") + kVirtualStoreInstallKeyPaths[0],
                     Text("HKEY_CURRENT_USER\\") + kVirtualStoreInstallKeyPaths[1]};
    Finder finder(search);
    for (const RegistryView& view : kViews) {
        Text folder;
        // Both views are one on 32-bit Windows: the same archive is added once.
        if (ReadWholeString(ReadInstallRecord, KEY_QUERY_VALUE | view.flag, folder))
            finder.Add(ArchivePathFor(folder), view.name);
    }
    Text folder;
    if (search.found.empty() && ReadWholeString(ReadVirtualStoreRecord, KEY_READ, folder))
        finder.Add(ArchivePathFor(folder), kVirtualStoreSource);
    finder.LookInSteamLibraries();
    return search;
}

}  // namespace tolvaren
