#include "core/text.h"

namespace tolvaren {

std::size_t FindText(std::string_view text, std::string_view search, std::size_t start) {
    if (search.empty() || start == 0) return 0;
    const std::size_t found = text.find(search, start - 1);
    return found == std::string_view::npos ? 0 : found + 1;
}

Text Printable(Text text) {
    Text shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        // U+0080 to U+009F in UTF-8: controls that terminals also act on.
        const bool c1 = byte == 0xC2 && at + 1 < text.size() &&
                        (static_cast<unsigned char>(text[at + 1]) & 0xE0) == 0x80;
        if (c1) ++at;
        shown += byte < 0x20 || byte == 0x7F || c1 ? '?' : text[at];
    }
    return shown;
}

Text Excerpt(std::string_view text) {
    constexpr std::size_t kExcerptBytes = 40;
    if (text.size() <= kExcerptBytes) return Printable(Text(text));
    return Printable(Text(text.substr(0, kExcerptBytes))) + "...";
}

Text ReplaceAll(const Text& text, const Text& search, const Text& replacement) {
    if (search.empty() || text.size() < search.size()) return text;
    Text result;
    result.reserve(text.size());
    std::size_t copied = 0;
    for (std::size_t at = text.find(search); at != Text::npos;
         at = text.find(search, copied)) {
        result.append(text, copied, at - copied).append(replacement);
        copied = at + search.size();
    }
    return result.append(text, copied, Text::npos);
}

}  // namespace tolvaren
