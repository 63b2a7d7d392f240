// The Windows tool's search for the installed game.
#include "registry/install_record.h"

namespace tolvaren {
namespace {

struct RegistryView {
    REGSAM flag;
    const char* name;
};
constexpr RegistryView kViews[] = {{KEY_WOW64_32KEY, "registry, 32-bit view"},
                                   {KEY_WOW64_64KEY, "registry, native view"}};
constexpr char kVirtualStoreSource[] = "registry, this user's VirtualStore";

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

bool Listed(const InstallationSearch& search, const Text& archivePath) {
    for (const Installation& found : search.found)
        if (found.archivePath == archivePath) return true;
    return false;
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

}  // namespace

InstallationSearch FindRegistryInstallations() {
    InstallationSearch search;
    search.places = {Text("HKEY_LOCAL_MACHINE\\") + kInstallKeyPath + " (32-bit and native views)",
                     Text("HKEY_CURRENT_USER\\") + kVirtualStoreInstallKeyPaths[0],
                     Text("HKEY_CURRENT_USER\\") + kVirtualStoreInstallKeyPaths[1]};
    for (const RegistryView& view : kViews) {
        Text folder;
        if (!ReadWholeString(ReadInstallRecord, KEY_QUERY_VALUE | view.flag, folder)) continue;
        const Text archive = ArchivePathFor(folder);
        // Both views are one on 32-bit Windows.
        if (!Listed(search, archive)) search.found.push_back({archive, view.name});
    }
    Text folder;
    if (search.found.empty() && ReadWholeString(ReadVirtualStoreRecord, KEY_READ, folder))
        search.found.push_back({ArchivePathFor(folder), kVirtualStoreSource});
    return search;
}

}  // namespace tolvaren
