// The module's one export. Outside callers load the program file as a module
// without running its start-up, so this uses no runtime state: only the stack
// and the system's DLLs.
#include <windows.h>
#include <oleauto.h>

#include "registry/registry_helpers.h"
#include "registry/unique_hkey.h"

namespace {

constexpr UINT kKeyPathBuffer = 255;

// Copies the BSTR's 8-bit text; false when it is empty or would have to be cut.
bool CopyWholeKeyPath(BSTR text, char (&buffer)[kKeyPathBuffer]) {
    const UINT length = text != nullptr ? SysStringByteLen(text) : 0;
    if (length == 0 || length > kKeyPathBuffer - 1) return false;
    const char* bytes = reinterpret_cast<const char*>(text);
    for (UINT i = 0; i < length; ++i) {
        if (bytes[i] == '\0') return false;
        buffer[i] = bytes[i];
    }
    return true;
}

}  // namespace

extern "C" LONG WINAPI DELREGKEY(const HKEY* root, const BSTR* keyPath) {
    char path[kKeyPathBuffer] = {};
    if (!CopyWholeKeyPath(*keyPath, path)) return ERROR_INVALID_PARAMETER;
    tolvaren::UniqueHkey key;
    if (RegOpenKeyExA(*root, path, 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) return 0;
    return RegDeleteKeyA(*root, path);
}
