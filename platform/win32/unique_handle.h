#pragma once
// Sole owners of Win32 handles. Every file call runs with critical-error
// boxes suppressed, so a missing drive or medium never stops the program
// with a system message box; closing a file is such a call.
#include <windows.h>

#include "platform/unique_any.h"

namespace tolvaren {

template <class Call>
auto WithoutErrorBoxes(Call call) {
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const auto result = call();
    SetErrorMode(previous);
    return result;
}

struct FileHandleTraits {
    using pointer = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) {
        WithoutErrorBoxes([handle] { return CloseHandle(handle); });
    }
};
using UniqueFileHandle = UniqueAny<FileHandleTraits>;

// Process and thread handles, whose invalid value is null.
struct HandleTraits {
    using pointer = HANDLE;
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};
using UniqueHandle = UniqueAny<HandleTraits>;

struct FindHandleTraits {
    using pointer = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE search) { FindClose(search); }
};
using UniqueFindHandle = UniqueAny<FindHandleTraits>;

struct IconTraits {
    using pointer = HICON;
    static HICON Invalid() { return nullptr; }
    static void Close(HICON icon) { DestroyIcon(icon); }
};
using UniqueHicon = UniqueAny<IconTraits>;

}  // namespace tolvaren
