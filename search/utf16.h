#pragma once
// Wine keeps registry text as UTF-16 code units and names Unix files in
// UTF-8; these convert between the two.
#include <string>
#include <string_view>

#include "core/text.h"

namespace tolvaren {

// One code point (at most U+10FFFF) as one unit or a surrogate pair.
void AppendUtf16(std::u16string& units, char32_t codePoint);

// Surrogate pairs become one 4-byte sequence; a lone surrogate becomes
// U+FFFD, since no UTF-8 file name can hold it.
Text Utf8FromUtf16(std::u16string_view units);

}  // namespace tolvaren
