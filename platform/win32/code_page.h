#pragma once
// 8-bit text in the process's code page, and the names it cannot hold.
// Before Windows 10 1903 the program's UTF-8 code page is not used: the
// 8-bit calls then give each letter the system's code page cannot spell as
// '?' or as another letter, and another path than the one meant is opened.
#include <windows.h>

#include <string_view>

#include "core/list.h"
#include "core/result.h"

namespace tolvaren {

// UTF-16 text, without a terminating zero (std::wstring would bring a
// quarter of a megabyte of the runtime into the program).
using WideText = List<wchar_t>;

// Whether `codePage` holds every letter of `wide` as itself.
bool CodePageSpells(std::wstring_view wide, UINT codePage);

// `utf8` (as Steam writes its files) in `codePage`; NotSpellable where a
// letter would be lost.
Result<Text> FromUtf8(std::string_view utf8, UINT codePage);

// 8-bit `text` in `codePage` as UTF-16; empty where memory runs out.
WideText WideFrom(std::string_view text, UINT codePage);

inline std::wstring_view View(const WideText& wide) { return {wide.data(), wide.size()}; }

}  // namespace tolvaren
