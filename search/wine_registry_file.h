#pragma once
// One string value from a Wine registry file (a prefix's system.reg holds
// HKEY_LOCAL_MACHINE), found in one pass that keeps only what it looks for.
//
// The file starts with the line "WINE REGISTRY Version 2"; then each key is
// a line "[Key\\Path] stamp" followed by its values, one a line:
// "Name"="text", @="text" (the default value), "Name"=str(2):"text",
// "Name"=dword:…, "Name"=hex(…):… (continued over lines while a line ends
// in a backslash). Other lines ("#time=…", ";; …") are comments.
#include <optional>
#include <string_view>

#include "core/list.h"
#include "core/result.h"

namespace tolvaren {

// The value (UTF-8, up to its first NUL), nothing when the file holds none,
// or NotARegistry, LineTooLong (or, for a file, why it could not be read).
using RegistryStringLookup = Result<std::optional<Text>>;

// The value `valueName` of the first of `keyPaths` (in this order, whatever
// the file's) that holds it as a string value: "text", str:"text" or
// str(2):"text" (REG_EXPAND_SZ, taken unexpanded), or the same saved in
// hex, hex(1): and hex(2): (UTF-16LE bytes, as Wine saves a string an
// installer wrote without its terminating zero). Multi-strings (str(7)),
// other hex, dword and malformed values are not string values. Key and value
// names (those asked for are ASCII) compare without regard to ASCII letter
// case, empty key path
// components are ignored, and where a value occurs more than once the last
// one counts, as when Wine loads the file.
RegistryStringLookup LookUpRegistryString(std::string_view registryText,
                                          const List<Text>& keyPaths,
                                          const Text& valueName);

// The same, reading the file at `path` front to back in chunks.
RegistryStringLookup LookUpRegistryStringInFile(const Text& path,
                                                const List<Text>& keyPaths,
                                                const Text& valueName);

}  // namespace tolvaren
