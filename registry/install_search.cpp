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

// A string record of any length, where there is one. One whose folder the
// 8-bit calls cannot spell is skipped with a warning, once.
std::optional<Text> FolderIn(const Result<RegValue>& record, const Text& place, InstallationSearch& search) {
    if (!record && record.Why().reason == Reason::NotSpellable &&
        (search.problems.empty() || search.problems.back().place != place))
        search.problems.push_back({SearchProblem::Kind::Skipped, place, Text(), record.Why()});
    if (!record || (record->type != REG_SZ && record->type != REG_EXPAND_SZ) || record->text.empty())
        return std::nullopt;
    return record->text;
}

Result<RegValue> ReadSteamFolder() {
    Result<RegValue> folder = ReadRegText(HKEY_CURRENT_USER, kSteamKeyPath, kSteamPathValue, KEY_READ, kWholeValue);
    if (!folder) return folder;
    if (Outcome spelled = CheckSpelled(HKEY_CURRENT_USER, kSteamKeyPath, kSteamPathValue, KEY_READ); !spelled.Done())
        return spelled;
    return folder;
}

}  // namespace

InstallationSearch FindRegistryInstallations(FileSystem& files) {
    InstallationSearch search;
    const Text machineKey = Text("HKEY_LOCAL_MACHINE\\") + kInstallKeyPath;
    search.places = {machineKey + " (32-bit and native views)",
                     Text("HKEY_CURRENT_USER\\") + kVirtualStoreInstallKeyPaths[0],
                     Text("HKEY_CURRENT_USER\\") + kVirtualStoreInstallKeyPaths[1]};
    // Both views are one on 32-bit Windows: the same archive is added once.
    for (const RegistryView& view : kViews)
        if (const std::optional<Text> folder =
                FolderIn(ReadInstallRecord(KEY_QUERY_VALUE | view.flag, kWholeValue), machineKey, search))
            AddOnce(files, search, {ArchivePathFor(*folder), Text(), view.source});
    if (search.found.empty())
        if (const std::optional<Text> folder =
                FolderIn(ReadVirtualStoreRecord(KEY_READ, kWholeValue), search.places[1], search))
            AddOnce(files, search, {ArchivePathFor(*folder), Text(), Source::VirtualStore});
    const std::optional<Text> steam =
        FolderIn(ReadSteamFolder(), Text("HKEY_CURRENT_USER\\") + kSteamKeyPath, search);
    if (!steam) return search;
    for (const Text& library : SteamLibrariesOf(files, *steam, search.problems))
        AddGamesFoundByTheirArchive(files, library, search);
    return search;
}

}  // namespace tolvaren
