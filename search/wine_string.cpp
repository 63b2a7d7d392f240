#include "search/wine_string.h"

#include "core/ascii.h"
#include "search/utf16.h"

namespace tolvaren {
namespace {

constexpr std::size_t kMaxHexDigits = 4;
constexpr std::size_t kMaxOctalDigits = 3;

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

// The control character of a C escape letter; 0 when it is none.
char ControlCharacterOf(char letter) {
    switch (letter) {
        case 'a': return '\a';
        case 'b': return '\b';
        case 'e': return '\x1b';
        case 'f': return '\f';
        case 'n': return '\n';
        case 'r': return '\r';
        case 't': return '\t';
        case 'v': return '\v';
        default: return 0;
    }
}

// Reads the escape whose backslash lies just before the ASCII `line[at]`.
char16_t ReadEscape(std::string_view line, std::size_t& at) {
    const char letter = line[at++];
    if (const char control = ControlCharacterOf(letter)) return static_cast<char16_t>(control);
    if (letter == 'x' && at < line.size() && HexDigitValue(line[at]) >= 0) {
        unsigned unit = 0;
        for (std::size_t digits = 0;
             digits < kMaxHexDigits && at < line.size() && HexDigitValue(line[at]) >= 0; ++digits)
            unit = unit * 16 + static_cast<unsigned>(HexDigitValue(line[at++]));
        return static_cast<char16_t>(unit);
    }
    if (IsOctalDigit(letter)) {
        unsigned unit = static_cast<unsigned>(letter - '0');
        for (std::size_t digits = 1;
             digits < kMaxOctalDigits && at < line.size() && IsOctalDigit(line[at]); ++digits)
            unit = unit * 8 + static_cast<unsigned>(line[at++] - '0');
        return static_cast<char16_t>(unit);
    }
    return static_cast<unsigned char>(letter);
}

bool IsContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Reads the UTF-8 character that starts at `line[at]` into `units`; an
// invalid lead byte, or a lead byte with the continuation bytes read so far,
// is dropped.
void ReadUtf8Character(std::string_view line, std::size_t& at, std::u16string& units) {
    const unsigned char lead = static_cast<unsigned char>(line[at++]);
    std::size_t following = 0;
    char32_t codePoint = 0, smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        following = 1, codePoint = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        following = 2, codePoint = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        following = 3, codePoint = lead & 0x07, smallest = 0x10000;
    } else {
        return;
    }
    for (; following > 0; --following) {
        if (at >= line.size() || !IsContinuationByte(static_cast<unsigned char>(line[at]))) return;
        codePoint = (codePoint << 6) | (static_cast<unsigned char>(line[at++]) & 0x3F);
    }
    if (codePoint >= smallest && codePoint <= 0x10FFFF) AppendUtf16(units, codePoint);
}

}  // namespace

bool ReadWineStringInto(std::string_view line, std::size_t& at, char end, std::u16string& units) {
    units.clear();
    while (at < line.size()) {
        const char c = line[at];
        if (c == end) {
            ++at;
            return true;
        }
        if (c == '\\') {
            if (++at == line.size()) break;
            // An escaped UTF-8 character is itself, like any unknown escape.
            if (static_cast<unsigned char>(line[at]) < 0x80) units += ReadEscape(line, at);
        } else if (static_cast<unsigned char>(c) < 0x80) {
            units += static_cast<char16_t>(c);
            ++at;
        } else {
            ReadUtf8Character(line, at, units);
        }
    }
    return false;
}

std::optional<std::u16string> ReadWineString(std::string_view line, std::size_t& at, char end) {
    std::u16string units;
    if (!ReadWineStringInto(line, at, end, units)) return std::nullopt;
    return units;
}

}  // namespace tolvaren
