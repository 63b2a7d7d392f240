#pragma once
// The game's install record in the registry of the tests' own Wine prefix.
#include <windows.h>

#include "core/install_location.h"

namespace tolvaren::test {

// `view`: 0 for this process's own, or KEY_WOW64_32KEY / KEY_WOW64_64KEY.
inline void RecordInstallDirectory(const Text& directory, REGSAM view = 0) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKeyPath.c_str(), 0, nullptr, 0,
                    KEY_ALL_ACCESS | view, nullptr, &key, nullptr);
    RegSetValueExA(key, kInstallValueName.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(directory.c_str()),
                   static_cast<DWORD>(directory.size() + 1));
    RegCloseKey(key);
}

// From both views.
inline void ForgetInstallDirectory() {
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kInstallKeyPath.c_str(), view, 0);
}

}  // namespace tolvaren::test
