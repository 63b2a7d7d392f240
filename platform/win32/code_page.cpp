#include "platform/win32/code_page.h"

namespace tolvaren {
namespace {

UINT Resolved(UINT codePage) { return codePage == CP_ACP ? GetACP() : codePage; }

}  // namespace

bool CodePageSpells(std::wstring_view wide, UINT codePage) {
    codePage = Resolved(codePage);
    if (codePage == CP_UTF8 || wide.empty()) return true;
    BOOL lost = FALSE;
    const int length = static_cast<int>(wide.size());
    // No best fit: an 'a' for an 'ā' would name another folder just as well.
    if (WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, nullptr, &lost) > 0)
        return !lost;
    return WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, nullptr, &lost) > 0 && !lost;
}

WideText WideFrom(std::string_view text, UINT codePage) {
    const int length = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    WideText wide;
    if (units > 0 && wide.TryResize(static_cast<std::size_t>(units)))
        MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), units);
    return wide;
}

Result<Text> FromUtf8(std::string_view utf8, UINT codePage) {
    if (Resolved(codePage) == CP_UTF8) return Text(utf8);
    const WideText wide = WideFrom(utf8, CP_UTF8);
    if (wide.empty() && !utf8.empty()) return Reason::OutOfMemory;
    if (!CodePageSpells(View(wide), codePage)) return Reason::NotSpellable;
    const int units = static_cast<int>(wide.size());
    const int bytes = WideCharToMultiByte(codePage, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    Text text;
    if (bytes > 0 && !text.TryResize(static_cast<std::size_t>(bytes))) return Reason::OutOfMemory;
    if (bytes > 0) WideCharToMultiByte(codePage, 0, wide.data(), units, text.data(), bytes, nullptr, nullptr);
    return text;
}

}  // namespace tolvaren
