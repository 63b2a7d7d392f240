#pragma once
// Texts are 8-bit byte strings with an explicit length; they may hold NUL
// bytes and line breaks. All comparisons are byte-exact and case-sensitive.
#include <cstddef>
#include <string>
#include <string_view>

namespace tolvaren {

using Text = std::string;

// 1-based position of the first occurrence of `search` at or after the
// 1-based `start`; 0 when there is none or `search` is empty.
std::size_t FindText(std::string_view text, std::string_view search, std::size_t start = 1);

// `text` with every control character (C0, DEL, and C1 as UTF-8) turned
// into '?', so that names from outside (a file's, a process's) cannot move
// the terminal or break a line.
Text Printable(Text text);

// At most the first few dozen bytes of `text`, printable, with "..." where
// it was cut: enough to recognise a value in a warning, whatever its size.
Text Excerpt(std::string_view text);

// Replaces every occurrence of `search`, found left to right without overlap;
// replaced bytes are never scanned again.
Text ReplaceAll(const Text& text, const Text& search, const Text& replacement);

}  // namespace tolvaren
