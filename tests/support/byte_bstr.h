#pragma once
// A BSTR holding 8-bit text, as outside callers of DELREGKEY make it.
#include <windows.h>
#include <oleauto.h>

#include "core/text.h"
#include "platform/unique_any.h"

namespace tolvaren::test {

struct BstrTraits {
    using pointer = BSTR;
    static BSTR Invalid() { return nullptr; }
    static void Close(BSTR text) { SysFreeString(text); }
};
using UniqueBstr = UniqueAny<BstrTraits>;

inline UniqueBstr ByteBstr(const Text& text) {
    return UniqueBstr(SysAllocStringByteLen(text.data(), static_cast<UINT>(text.size())));
}

}  // namespace tolvaren::test
