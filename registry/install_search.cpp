// The Windows tool's search for the installed game: the install records,
// and the games of the Steam libraries found by their archive.
#include "registry/install_record.h"
#include "search/steam_libraries.h"

namespace tolvaren {
namespace {

struct RegistryView {
    REGSAM flag;
    Source source;
};
constexpr RegistryView kViews[] = {{KEY_WOW64_32KEY, Source::Registry32},
                                   {KEY_WOW64_64KEY, Source::RegistryNative}};

// Where Steam records its own folder for the user.
constexpr char kSteamKeyPath[] = "Software\\Valve\\Steam";
constexpr char kSteamPathValue[] = "SteamPath";

// A string record of any length, where there is one.
std::optional<Text> FolderIn(const Result<RegValue>& record) {
    if (!record || (record->type != REG_SZ && record->type != REG_EXPAND_SZ) || record->text.empty())
        return std::nullopt;
    return record->text;
}

}  // namespace

InstallationSearch FindRegistryInstallations(FileSystem& files) {
    InstallationSearch search;
    search.places = {Text("HKEY_LOCAL_MACHINE\\") + kInstallKeyPath + " (32-bit and native views)",
                     Text("HKEY_CURRENT_USER\\") + kVirtualStoreInstallKeyPaths[0],
                     Text("HKEY_CURRENT_USER\\") + kVirtualStoreInstallKeyPaths[1]};
    // Both views are one on 32-bit Windows: the same archive is added once.
    for (const RegistryView& view : kViews)
        if (const std::optional<Text> folder = FolderIn(ReadInstallRecord(KEY_QUERY_VALUE | view.flag, kWholeValue)))
            AddOnce(files, search, {ArchivePathFor(*folder), Text(), view.source});
    if (search.found.empty())
        if (const std::optional<Text> folder = FolderIn(ReadVirtualStoreRecord(KEY_READ, kWholeValue)))
            AddOnce(files, search, {ArchivePathFor(*folder), Text(), Source::VirtualStore});
    const std::optional<Text> steam =
        FolderIn(ReadRegText(HKEY_CURRENT_USER, kSteamKeyPath, kSteamPathValue, KEY_READ, kWholeValue));
    if (!steam) return search;
    for (const Text& library : SteamLibrariesOf(files, *steam, search.problems))
        AddGamesFoundByTheirArchive(files, library, search);
    return search;
}

}  // namespace tolvaren
