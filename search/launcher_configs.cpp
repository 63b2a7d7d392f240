#include "search/launcher_configs.h"

#include "core/ascii.h"
#include "search/utf16.h"

namespace tolvaren {
namespace {

constexpr std::string_view kLutrisPrefixKey = "prefix:";
constexpr std::string_view kHeroicPrefixKey = "\"winePrefix\"";

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsAsciiSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsAsciiSpace(text.back())) text.remove_suffix(1);
    return text;
}

using ConfiguredPrefix = Result<std::optional<Text>>;

ConfiguredPrefix Malformed(std::size_t line, const Text& why) {
    return Outcome(Reason::Malformed, "line " + DecimalText(static_cast<long long>(line)) + ": " + why);
}

// A prefix named by a launcher is a folder from the root. A zero byte would
// end the path early, and another folder be opened than the one shown.
ConfiguredPrefix Named(std::size_t line, Text folder) {
    if (folder.empty()) return std::optional<Text>();
    if (folder.find('\0') != Text::npos)
        return Malformed(line, "the prefix \"" + Excerpt(folder) + "\" holds a zero character");
    if (folder[0] != '/') return Malformed(line, "the prefix \"" + Excerpt(folder) + "\" is not an absolute path");
    return std::optional<Text>(std::move(folder));
}

// The JSON string whose opening quote is at `at`; nullopt when malformed.
std::optional<Text> ReadJsonString(std::string_view text, std::size_t at) {
    Text result;  // bytes outside escapes are UTF-8 as written
    for (++at; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '"') return result;
        if (c != '\\') {
            result += c;
            continue;
        }
        if (++at == text.size()) return std::nullopt;
        switch (text[at]) {
            case '"': case '\\': case '/': result += text[at]; break;
            case 'b': result += '\b'; break;
            case 'f': result += '\f'; break;
            case 'n': result += '\n'; break;
            case 'r': result += '\r'; break;
            case 't': result += '\t'; break;
            case 'u': {
                // Escaped code units, a surrogate pair as two escapes.
                std::u16string escaped;
                for (;;) {
                    if (at + 4 >= text.size()) return std::nullopt;
                    unsigned unit = 0;
                    for (int digit = 1; digit <= 4; ++digit) {
                        const int value = HexDigitValue(text[at + digit]);
                        if (value < 0) return std::nullopt;
                        unit = unit * 16 + static_cast<unsigned>(value);
                    }
                    escaped += static_cast<char16_t>(unit);
                    at += 4;
                    if (at + 2 < text.size() && text[at + 1] == '\\' && text[at + 2] == 'u') {
                        at += 2;
                        continue;
                    }
                    break;
                }
                result += Utf8FromUtf16(escaped);
                break;
            }
            default: return std::nullopt;
        }
    }
    return std::nullopt;
}

std::size_t LineAt(std::string_view text, std::size_t at) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < at; ++i) line += text[i] == '\n';
    return line;
}

}  // namespace

Result<std::optional<Text>> PrefixInLutrisGame(std::string_view yml) {
    std::size_t line = 0;
    while (!yml.empty()) {
        ++line;
        const std::size_t end = yml.find('\n');
        const std::string_view content = Trimmed(yml.substr(0, end));
        yml.remove_prefix(end == std::string_view::npos ? yml.size() : end + 1);
        if (content.substr(0, kLutrisPrefixKey.size()) != kLutrisPrefixKey) continue;
        std::string_view value = Trimmed(content.substr(kLutrisPrefixKey.size()));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')) {
            if (value.back() != value.front()) return Malformed(line, "the prefix's quote is not closed");
            value = value.substr(1, value.size() - 2);
        }
        return Named(line, Text(value));
    }
    return std::optional<Text>();
}

Result<std::optional<Text>> PrefixInHeroicGame(std::string_view json) {
    const std::size_t key = json.find(kHeroicPrefixKey);
    if (key == std::string_view::npos) return std::optional<Text>();
    std::size_t at = key + kHeroicPrefixKey.size();
    while (at < json.size() && IsAsciiSpace(json[at])) ++at;
    if (at == json.size() || json[at] != ':') return Malformed(LineAt(json, key), "winePrefix has no value");
    ++at;
    while (at < json.size() && IsAsciiSpace(json[at])) ++at;
    if (at == json.size() || json[at] != '"')
        return Malformed(LineAt(json, key), "winePrefix is not a string");
    std::optional<Text> folder = ReadJsonString(json, at);
    if (!folder) return Malformed(LineAt(json, key), "winePrefix is not a well-formed string");
    return Named(LineAt(json, key), std::move(*folder));
}

}  // namespace tolvaren
