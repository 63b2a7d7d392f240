#pragma once
// Windows compares registry names and file names without regard to letter
// case. The names looked for here are ASCII, and Linux folders keep names as
// bytes, so ASCII folding is the rule this tool applies.
#include <string_view>

namespace tolvaren {

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

constexpr bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

}  // namespace tolvaren
