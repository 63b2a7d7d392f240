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

// Wine writes long values over several lines; a line longer than this is
// not a registry's, and is not worth the memory.
constexpr std::size_t kMaxLineBytes = 1 << 20;

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

bool SameKeyPath(const List<Text>& a, const List<Text>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!EqualIgnoringAsciiCase(a[i], b[i])) return false;
    return true;
}

enum class DataKind { String, Hex, Other };

// What the data after '=' is, with `at` moved to its first byte past the
// type (for a string, past the opening quote).
DataKind KindOfData(std::string_view line, std::size_t& at) {
    for (const std::string_view stringType : {"\"", "str:\"", "str(2):\""}) {
        if (StartsWithAt(line, at, stringType)) {
            at += stringType.size();
            return DataKind::String;
        }
    }
    if (StartsWithAt(line, at, "hex:") || StartsWithAt(line, at, "hex(")) return DataKind::Hex;
    return DataKind::Other;
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
                lineTooLong_ = partialLine_.size() + bytes.size() > kMaxLineBytes;
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
        if (continuesHex_) {
            continuesHex_ = EndsInBackslash(line);
            return;
        }
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
        const std::optional<std::u16string> path = ReadWineString(line, ++at, ']');
        if (!path) return;  // a malformed key: its values belong to no key
        const List<Text> components = KeyPathComponents(Utf8FromUtf16(*path));
        for (std::size_t i = 0; i < wantedKeys_.size(); ++i) {
            if (SameKeyPath(components, wantedKeys_[i])) {
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
        continuesHex_ = value.kind == DataKind::Hex && EndsInBackslash(line);
        if (wantedKey && EqualIgnoringAsciiCase(Utf8FromUtf16(value.name), valueName_))
            values_[static_cast<std::size_t>(currentKey_)] = std::move(value.text);
    }

    const Text valueName_;
    std::vector<List<Text>> wantedKeys_;
    std::vector<std::optional<std::u16string>> values_;  // per wanted key: its string value
    std::string partialLine_;
    int currentKey_ = kNoWantedKey;
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
