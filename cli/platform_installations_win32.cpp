// The install record as the shipped 32-bit program sees it: the 32-bit view
// first, then the native one. Read access is enough for the tool (a 64-bit
// process without administrator rights would be refused full access).
#include <windows.h>

#include <vector>

#include "cli/platform_installations.h"
#include "core/install_location.h"
#include "registry/unique_hkey.h"

namespace tolvaren {
namespace {

struct RegistryView {
    REGSAM flag;
    const char* name;
};
constexpr RegistryView kViews[] = {{KEY_WOW64_32KEY, "registry, 32-bit view"},
                                   {KEY_WOW64_64KEY, "registry, native view"}};

// The recorded folder, when the view holds it as a string.
bool ReadInstallFolder(REGSAM view, Text& folder) {
    UniqueHkey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKeyPath.c_str(), 0, KEY_QUERY_VALUE | view,
                      key.put()) != ERROR_SUCCESS)
        return false;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), kInstallValueName.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    std::vector<char> data(size + 1, '\0');
    if (RegQueryValueExA(key.get(), kInstallValueName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        return false;
    folder = data.data();  // up to its first zero byte
    return true;
}

}  // namespace

InstallationSearch FindPlatformInstallations() {
    InstallationSearch search;
    search.places.push_back("HKEY_LOCAL_MACHINE\\" + kInstallKeyPath + " (32-bit and native views)");
    for (const RegistryView& view : kViews) {
        Text folder;
        if (!ReadInstallFolder(view.flag, folder) || folder.empty()) continue;
        const Text archive = ArchivePathFor(folder);
        bool seen = false;  // both views are one on 32-bit Windows
        for (const Installation& found : search.found) seen = seen || found.archivePath == archive;
        if (!seen) search.found.push_back({archive, view.name});
    }
    return search;
}

}  // namespace tolvaren
