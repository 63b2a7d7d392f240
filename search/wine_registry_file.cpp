#include "search/wine_registry_file.h"

#include <string>
#include <vector>

#include "core/ascii.h"
#include "platform/posix/files.h"
#include "search/utf16.h"
#include "search/wine_string.h"

namespace tolvaren {
namespace {

const Text kRegistryHeader = "WINE REGISTRY Version 2";

constexpr int kNoWantedKey = -1;

// A Windows path holds at most 32,767 UTF-16 units.
constexpr std::size_t kMaxHexStringBytes = 64 << 10;

std::size_t SkipSpaces(std::string_view line, std::size_t at) {
    while (at < line.size() && IsAsciiSpace(line[at])) ++at;
    return at;
}

bool StartsWithAt(std::string_view line, std::size_t at, std::string_view prefix) {
    return line.substr(at, prefix.size()) == prefix;
}

// The key path's components, without the empty ones that doubled, leading
// or trailing backslashes leave.
List<Text> KeyPathComponents(const Text& path) {
    List<Text> components;
    std::size_t start = 0;
    for (std::size_t at = 0; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '\\') continue;
        if (at > start) components.push_back(path.substr(start, at - start));
        start = at + 1;
    }
    return components;
}

// `units` and the ASCII `name` without regard to ASCII letter case.
bool SameAsciiName(std::u16string_view units, const Text& name) {
    if (units.size() != name.size()) return false;
    for (std::size_t i = 0; i < units.size(); ++i)
        if (units[i] >= 0x80 || AsciiLower(static_cast<char>(units[i])) != AsciiLower(name[i])) return false;
    return true;
}

// Whether the key path `path` has the components `wanted` (ASCII), empty
// ones aside. Compared where it lies, as a prefix's file holds thousands of
// keys: splitting each path into UTF-8 texts first made `where` on a home
// with 200 prefixes 2.8 times slower (1,007 against 364 ms, make bench).
bool NamesKey(std::u16string_view path, const List<Text>& wanted) {
    std::size_t component = 0;
    for (std::size_t at = 0; at < path.size();) {
        if (path[at] == u'\\') {
            ++at;
            continue;
        }
        const std::size_t end = std::min(path.find(u'\\', at), path.size());
        if (component == wanted.size() || !SameAsciiName(path.substr(at, end - at), wanted[component])) return false;
        ++component;
        at = end;
    }
    return component == wanted.size();
}

// A string, a string in hex (an installer that wrote REG_SZ or
// REG_EXPAND_SZ without its terminating zero makes Wine save it so: UTF-16LE
// bytes, over several lines), other hex data, or anything else.
enum class DataKind { String, HexString, Hex, Other };

// What the data after '=' is, with `at` moved to its first byte past the
// type (for a string, past the opening quote).
DataKind KindOfData(std::string_view line, std::size_t& at) {
    const std::pair<std::string_view, DataKind> types[] = {
        {"\"", DataKind::String}, {"str:\"", DataKind::String}, {"str(2):\"", DataKind::String},
        {"hex(1):", DataKind::HexString}, {"hex(2):", DataKind::HexString},
        {"hex:", DataKind::Hex}, {"hex(", DataKind::Hex}};
    for (const auto& [type, kind] : types) {
        if (!StartsWithAt(line, at, type)) continue;
        at += type.size();
        return kind;
    }
    return DataKind::Other;
}

// Appends the bytes "43,00,3a,00,\" gives; false on anything else.
bool AppendHexBytes(std::string_view text, std::string& bytes) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == ',' || c == '\\' || IsAsciiSpace(c)) continue;
        if (at + 1 >= text.size() || HexDigitValue(c) < 0 || HexDigitValue(text[at + 1]) < 0) return false;
        bytes += static_cast<char>(HexDigitValue(c) * 16 + HexDigitValue(text[at + 1]));
        ++at;
    }
    return true;
}

std::u16string Utf16FromLittleEndian(std::string_view bytes) {
    std::u16string units;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2)
        units += static_cast<char16_t>(static_cast<unsigned char>(bytes[at]) |
                                       static_cast<unsigned char>(bytes[at + 1]) << 8);
    return units;
}

bool EndsInBackslash(std::string_view line) {
    std::size_t end = line.size();
    while (end > 0 && IsAsciiSpace(line[end - 1])) --end;
    return end > 0 && line[end - 1] == '\\';
}

// One value line, parsed as far as the lookup needs.
struct ValueLine {
    bool named = false;  // a well-formed name and '=': the line sets the value
    std::u16string name;
    DataKind kind = DataKind::Other;
    std::optional<std::u16string> text;  // the string value, when it is one
    std::size_t dataAt = 0;              // where the data begins, past its type
};

ValueLine ParseValueLine(std::string_view line, std::size_t at, bool wantText) {
    ValueLine value;
    if (line[at] == '@') {
        ++at;
    } else {
        std::optional<std::u16string> name = ReadWineString(line, ++at, '"');
        if (!name) return value;
        value.name = std::move(*name);
    }
    at = SkipSpaces(line, at);
    if (at >= line.size() || line[at] != '=') return value;
    value.named = true;
    at = SkipSpaces(line, at + 1);
    value.kind = KindOfData(line, at);
    value.dataAt = at;
    if (value.kind == DataKind::String && wantText) value.text = ReadWineString(line, at, '"');
    return value;
}

class RegistryScan {
public:
    RegistryScan(const List<Text>& keyPaths, const Text& valueName) : valueName_(valueName) {
        for (const Text& path : keyPaths) wantedKeys_.push_back(KeyPathComponents(path));
        values_.resize(keyPaths.size());
    }

    void Feed(std::string_view bytes) {
        while (!bytes.empty() && !notARegistry_ && !lineTooLong_) {
            const std::size_t newline = bytes.find('\n');
            if (newline == std::string_view::npos) {
                lineTooLong_ = partialLine_.size() + bytes.size() > kMaxRegistryLineBytes;
                if (!lineTooLong_) partialLine_.append(bytes);
                return;
            }
            if (partialLine_.empty()) {
                ReadLine(bytes.substr(0, newline));
            } else {
                partialLine_.append(bytes.substr(0, newline));
                ReadLine(partialLine_);
                partialLine_.clear();
            }
            bytes.remove_prefix(newline + 1);
        }
    }

    RegistryStringLookup Finish() {
        if (lineTooLong_) return Reason::LineTooLong;
        if (!partialLine_.empty()) ReadLine(partialLine_);
        if (!headerRead_ || notARegistry_) return Reason::NotARegistry;
        for (const std::optional<std::u16string>& value : values_)
            if (value) return std::optional<Text>(Utf8FromUtf16(std::u16string_view(*value).substr(0, value->find(u'\0'))));
        return std::optional<Text>();
    }

private:
    void ReadLine(std::string_view line) {
        // Wine reads lines as C strings: a NUL byte ends one.
        line = line.substr(0, line.find('\0'));
        if (!headerRead_) return ReadHeader(line);
        if (continuesHex_) return ReadHexLine(line);
        const std::size_t at = SkipSpaces(line, 0);
        if (at == line.size()) return;
        if (line[at] == '[') return ReadKeyLine(line, at);
        if (line[at] == '"' || line[at] == '@') ReadValue(line, at);
    }

    void ReadHeader(std::string_view line) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        notARegistry_ = line != kRegistryHeader;
        headerRead_ = true;
    }

    void ReadKeyLine(std::string_view line, std::size_t at) {
        currentKey_ = kNoWantedKey;
        if (!ReadWineStringInto(line, ++at, ']', keyPath_)) return;  // a malformed key: its values belong to no key
        for (std::size_t i = 0; i < wantedKeys_.size(); ++i) {
            if (NamesKey(keyPath_, wantedKeys_[i])) {
                currentKey_ = static_cast<int>(i);
                return;
            }
        }
    }

    void ReadValue(std::string_view line, std::size_t at) {
        const bool wantedKey = currentKey_ != kNoWantedKey;
        // Elsewhere only a hex value's continuation matters.
        if (!wantedKey && !EndsInBackslash(line)) return;
        ValueLine value = ParseValueLine(line, at, wantedKey);
        if (!value.named) return;
        const bool wanted = wantedKey && EqualIgnoringAsciiCase(Utf8FromUtf16(value.name), valueName_);
        if (wanted) values_[static_cast<std::size_t>(currentKey_)] = std::move(value.text);
        if (value.kind != DataKind::Hex && value.kind != DataKind::HexString) return;
        hexValueOf_ = wanted && value.kind == DataKind::HexString ? currentKey_ : kNoWantedKey;
        hexBytes_.clear();
        ReadHexLine(line.substr(value.dataAt));
    }

    // A line of hex data, the first after the value's type or one that
    // continues it; the value is whole at the line that ends without a
    // backslash.
    void ReadHexLine(std::string_view line) {
        continuesHex_ = EndsInBackslash(line);
        if (hexValueOf_ == kNoWantedKey) return;
        // Malformed, or longer than any path: no string.
        if (!AppendHexBytes(line, hexBytes_) || hexBytes_.size() > kMaxHexStringBytes) hexValueOf_ = kNoWantedKey;
        if (continuesHex_ || hexValueOf_ == kNoWantedKey) return;
        values_[static_cast<std::size_t>(hexValueOf_)] = Utf16FromLittleEndian(hexBytes_);
        hexValueOf_ = kNoWantedKey;
    }

    const Text valueName_;
    std::vector<List<Text>> wantedKeys_;
    std::u16string keyPath_;  // the last key line's
    std::vector<std::optional<std::u16string>> values_;  // per wanted key: its string value
    std::string partialLine_;
    int currentKey_ = kNoWantedKey;
    int hexValueOf_ = kNoWantedKey;  // the wanted key whose string the hex lines hold
    std::string hexBytes_;
    bool headerRead_ = false;
    bool notARegistry_ = false;
    bool continuesHex_ = false;
    bool lineTooLong_ = false;
};

}  // namespace

RegistryStringLookup LookUpRegistryString(std::string_view registryText,
                                          const List<Text>& keyPaths,
                                          const Text& valueName) {
    RegistryScan scan(keyPaths, valueName);
    scan.Feed(registryText);
    return scan.Finish();
}

RegistryStringLookup LookUpRegistryStringInFile(const Text& path,
                                                const List<Text>& keyPaths,
                                                const Text& valueName) {
    RegistryScan scan(keyPaths, valueName);
    const Outcome read = ReadRegularFile(path, [&scan](std::string_view chunk) { scan.Feed(chunk); });
    if (!read.Done()) return read;
    return scan.Finish();
}

}  // namespace tolvaren
