#pragma once
#include <windows.h>

#include "platform/unique_any.h"

namespace tolvaren {

struct HkeyTraits {
    using pointer = HKEY;
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY key) { RegCloseKey(key); }
};
using UniqueHkey = UniqueAny<HkeyTraits>;

}  // namespace tolvaren
