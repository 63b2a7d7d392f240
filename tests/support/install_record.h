#pragma once
// The game's install record in the registry of the tests' own Wine prefix.
// A set-up that fails throws, which fails the test that asked for it.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "core/install_location.h"
#include "registry/unique_hkey.h"

namespace tolvaren::test {

// `view`: 0 for this process's own, or KEY_WOW64_32KEY / KEY_WOW64_64KEY.
inline void RecordInstallDirectory(const Text& directory, REGSAM view = 0) {
    UniqueHkey key;
    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKeyPath.c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS | view, nullptr, key.put(), nullptr);
    if (status == ERROR_SUCCESS)
        status = RegSetValueExA(key.get(), kInstallValueName.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(directory.c_str()),
                                static_cast<DWORD>(directory.size() + 1));
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("cannot record the install directory: error " +
                                 std::to_string(status));
}

// From both views.
inline void ForgetInstallDirectory() {
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        const LONG status = RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kInstallKeyPath.c_str(), view, 0);
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            throw std::runtime_error("cannot remove the install record: error " +
                                     std::to_string(status));
    }
}

}  // namespace tolvaren::test
