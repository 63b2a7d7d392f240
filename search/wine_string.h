#pragma once
// Quoted text in Wine's registry files, read as Wine 8 reads it. Wine writes
// each character above U+007F as \x and its UTF-16 code unit in hex (four
// digits when a hex digit follows, e.g. "\x00dcber" for "Über"), a
// surrogate pair as two such escapes, control characters as \a \b \e \f \n
// \r \t \v or in octal ("\0", "\001" before a digit), and puts a backslash
// before '\\' and before the closing character ('"', or '[' and ']' in key
// names).
//
// Reading: \x takes one to four hex digits, \ takes one to three octal
// digits, the C escapes above their control character; any other escaped
// character is itself. Bytes outside escapes are UTF-8; bytes that do not
// form a character are dropped, as Wine drops them.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tolvaren {

// The text from `line[at]` up to the first unescaped `end`, as UTF-16 code
// units; `at` is then just past `end`. Nullopt when the line ends first
// (`at` is then unspecified).
std::optional<std::u16string> ReadWineString(std::string_view line, std::size_t& at, char end);

// The same into `units`, emptied first, whose memory serves line after line;
// false where the line ends first.
bool ReadWineStringInto(std::string_view line, std::size_t& at, char end, std::u16string& units);

}  // namespace tolvaren
