#pragma once
// ASCII rules of the text files and names the search reads. Windows
// compares registry names and file names without regard to letter case; the
// names looked for here are ASCII, and Linux folders keep names as bytes, so
// ASCII folding is the rule this tool applies.
#include <string_view>

namespace tolvaren {

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

constexpr bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

constexpr bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// 0 to 15 for a hexadecimal digit of either case; -1 for anything else.
constexpr int HexDigitValue(char c) {
    if (IsAsciiDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Blank, tab, line feed, vertical tab, form feed, carriage return.
constexpr bool IsAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace tolvaren
