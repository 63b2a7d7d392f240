#pragma once
// A BSTR holding 8-bit text, as outside callers of DELREGKEY make it.
#include <windows.h>
#include <oleauto.h>

#include <stdexcept>

#include "core/text.h"
#include "platform/unique_any.h"

namespace tolvaren::test {

struct BstrTraits {
    using pointer = BSTR;
    static BSTR Invalid() { return nullptr; }
    static void Close(BSTR text) { SysFreeString(text); }
};
using UniqueBstr = UniqueAny<BstrTraits>;

// Throws when there is no memory for it, which fails the test.
inline UniqueBstr ByteBstr(const Text& text) {
    UniqueBstr bstr(SysAllocStringByteLen(text.data(), static_cast<UINT>(text.size())));
    if (!bstr) throw std::runtime_error("cannot allocate a BSTR");
    return bstr;
}

}  // namespace tolvaren::test
