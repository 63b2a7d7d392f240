#include "registry/install_record.h"

namespace tolvaren {
namespace {

struct RegistryView {
    REGSAM flag;
    const char* name;
};
constexpr RegistryView kViews[] = {{KEY_WOW64_32KEY, "registry, 32-bit view"},
                                   {KEY_WOW64_64KEY, "registry, native view"}};

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

bool Listed(const InstallationSearch& search, const Text& archivePath) {
    for (const Installation& found : search.found)
        if (found.archivePath == archivePath) return true;
    return false;
}

}  // namespace

RegText ReadInstallRecord(REGSAM access, DWORD capacity) {
    return ReadRegText(HKEY_LOCAL_MACHINE, kInstallKeyPath, kInstallValueName, access, capacity);
}

Text ProgramInstallFolder() { return ReadInstallRecord(KEY_ALL_ACCESS).text; }

InstallationSearch FindRegistryInstallations() {
    InstallationSearch search;
    search.places.push_back("HKEY_LOCAL_MACHINE\\" + kInstallKeyPath + " (32-bit and native views)");
    for (const RegistryView& view : kViews) {
        RegText record = ReadInstallRecord(KEY_QUERY_VALUE | view.flag);
        if (record.status == ERROR_MORE_DATA)
            record = ReadInstallRecord(KEY_QUERY_VALUE | view.flag, record.size + 1);
        if (record.status != ERROR_SUCCESS || !IsStringType(record.type) || record.text.empty())
            continue;
        const Text archive = ArchivePathFor(record.text);
        // Both views are one on 32-bit Windows.
        if (!Listed(search, archive)) search.found.push_back({archive, view.name});
    }
    return search;
}

}  // namespace tolvaren
