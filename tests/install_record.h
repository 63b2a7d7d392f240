#pragma once
// The game's install record in the registry of the tests' own Wine prefix.
#include <windows.h>

#include "core/install_location.h"

namespace tolvaren::test {

inline void RecordInstallDirectory(const Text& directory) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKeyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key, nullptr);
    RegSetValueExA(key, kInstallValueName.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(directory.c_str()),
                   static_cast<DWORD>(directory.size() + 1));
    RegCloseKey(key);
}

inline void ForgetInstallDirectory() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kInstallKeyPath.c_str());
}

}  // namespace tolvaren::test
