#pragma once
// The game's install record in the registry of the tests' own Wine prefix.
// A set-up that fails throws, which fails the test that asked for it.
#include <windows.h>
#include <sddl.h>

#include <stdexcept>
#include <string>

#include "core/install_location.h"
#include "registry/unique_hkey.h"

namespace tolvaren::test {

inline void ThrowUnless(LONG status, const char* what) {
    if (status != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + ": error " + std::to_string(status));
}

// A string value `name` (by default the install record's) under `keyPath`.
inline void WriteFolderValue(HKEY root, const Text& keyPath, const Text& directory, REGSAM view = 0,
                             const char* name = kInstallValueName) {
    UniqueHkey key;
    ThrowUnless(RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                                key.put(), nullptr),
                "cannot create the install record's key");
    ThrowUnless(RegSetValueExA(key.get(), name, 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(directory.c_str()),
                               static_cast<DWORD>(directory.size() + 1)),
                "cannot record the install directory");
}

// `view`: 0 for this process's own, or KEY_WOW64_32KEY / KEY_WOW64_64KEY.
inline void RecordInstallDirectory(const Text& directory, REGSAM view = 0) {
    WriteFolderValue(HKEY_LOCAL_MACHINE, kInstallKeyPath, directory, view);
}

// Gives the key `sddl` as its access list: "D:P(A;;KR;;;WD)" lets everyone
// read it and no one change it, not even an administrator.
inline void SetInstallKeyAccess(const char* sddl, REGSAM view = 0) {
    UniqueHkey key;  // its owner may always change its access list
    ThrowUnless(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKeyPath, 0, WRITE_DAC | view,
                              key.put()),
                "cannot open the install record's access list");
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        throw std::runtime_error("cannot make a security descriptor");
    const LONG status = RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
    ThrowUnless(status, "cannot set the install record's access list");
}

// From both views, whatever access list a test gave it.
inline void ForgetInstallDirectory() {
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        UniqueHkey key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKeyPath, 0, KEY_READ | view,
                          key.put()) != ERROR_SUCCESS)
            continue;
        key.reset();
        SetInstallKeyAccess("D:P(A;;KA;;;WD)", view);
        ThrowUnless(RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kInstallKeyPath, view, 0),
                    "cannot remove the install record");
    }
}

}  // namespace tolvaren::test
