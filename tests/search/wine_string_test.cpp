#include <gtest/gtest.h>

#include <optional>

#include "search/utf16.h"
#include "search/wine_string.h"

namespace tolvaren {
namespace {

struct StringCase {
    std::string_view line;  // from just after the opening quote
    char end;
    std::u16string units;
};

// Reads the whole line as one string and expects it to end exactly there.
void ExpectReadsWhole(const StringCase& c) {
    std::size_t at = 0;
    const std::optional<std::u16string> units = ReadWineString(c.line, at, c.end);
    ASSERT_TRUE(units.has_value()) << c.line;
    EXPECT_EQ(*units, c.units) << c.line;
    EXPECT_EQ(at, c.line.size()) << c.line;
}

// Written by Wine 8 into system.reg for `reg add … /d TEXT` (TEXT on the
// right); the reader must give the text back.
TEST(WineString, ReadsWhatWine8Writes) {
    const StringCase cases[] = {
        {R"(C:\\Spiele\\\x00dcber Rennen")", '"', u"C:\\Spiele\\\u00DCber Rennen"},
        {R"(N\xe4me \"q\"")", '"', u"N\u00E4me \"q\""},
        {R"(a\\b \"c\" \x20ac \xd83d\xde00 tab\tx")", '"', u"a\\b \"c\" \u20AC \U0001F600 tab\tx"},
        {"a\\1b\\0011\\a\\e\\v\\f\\r\\nz\x7f~\"", '"', u"a\x01" u"b\x01" u"1\a\x1b\v\f\r\nz\x7f~"},
        {R"(x\37y\0377")", '"', u"x\x1fy\x1f" u"7"},
        {R"(\xc4\x00d69Fa")", '"', u"\u00C4\u00D6" u"9Fa"},
        {R"(%ProgramFiles%\\\x00dc1")", '"', u"%ProgramFiles%\\\u00DC1"},
        {R"(one\0two\0")", '"', std::u16string(u"one\0two\0", 8)},  // a REG_MULTI_SZ, str(7)
        {R"(Software\\Tolvaren\\Br\[a\]ck\]et"s\\\xdcnder])", ']', u"Software\\Tolvaren\\Br[a]ck]et\"s\\\u00DCnder"},
        {R"(")", '"', u""},
    };
    for (const StringCase& c : cases) ExpectReadsWhole(c);
}

// Hand-written lines, and what Wine 8 loaded from them (read back with
// `reg export`).
TEST(WineString, ReadsEscapesAsWine8Does) {
    const StringCase cases[] = {
        {R"(\q|\x|\8|\]|\[|\'|\X41")", '"', u"q|x|8|]|[|'|X41"},  // unknown escape: the character
        {R"(\xdcb|\x00dcber|\x12345|\xD83D")", '"', u"\u0DCB|\u00DCber|\u1234" u"5|\xD83D"},  // one to four hex digits
        {R"(\1234|\0101|\400|\777|\8")", '"', u"S4|\x08" u"1|\u0100|\u01FF|8"},  // one to three octal digits
        {R"(\a\b\e\f\n\r\t\v")", '"', u"\a\b\x1b\f\n\r\t\v"},
        {R"(x\xd83d\xde00y")", '"', u"x\U0001F600y"},
    };
    for (const StringCase& c : cases) ExpectReadsWhole(c);
}

TEST(WineString, ReadsUtf8AndDropsBytesThatFormNoCharacter) {
    const StringCase cases[] = {
        {"\xC3\x9C\xE2\x82\xAC\xF0\x9F\x98\x80\"", '"', u"\u00DC\u20AC\U0001F600"},
        {"\\\xC3\x9C\"", '"', u"\u00DC"},  // escaped, still itself
        // Wine 8 loaded "xy|z|w|\xD83D||😀" from these.
        {"x\xFFy|\xC3z|\xE2\x82w|\xED\xA0\xBD|\xC0\x80|\xF0\x9F\x98\x80\"", '"', u"xy|z|w|\xD83D||\U0001F600"},
        {"\xF4\x90\x80\x80|\xE0\x80\xAF|\x80\"", '"', u"||"},  // above U+10FFFF, overlong, stray
        {"\xC3\"", '"', u""},  // a lead byte cut short by the quote
    };
    for (const StringCase& c : cases) ExpectReadsWhole(c);
}

TEST(WineString, StopsAtTheFirstUnescapedEndAndFailsWithoutOne) {
    std::size_t at = 0;
    EXPECT_EQ(ReadWineString(R"(a"="b")", at, '"'), std::u16string(u"a"));
    EXPECT_EQ(at, 2u);
    at = 1;
    EXPECT_EQ(ReadWineString(R"([a\]b] 123)", at, ']'), std::u16string(u"a]b"));
    EXPECT_EQ(at, 6u);

    for (const std::string_view unterminated : {R"(abc\")", R"(abc\)", "abc", "", R"(a]b)"}) {
        at = 0;
        EXPECT_EQ(ReadWineString(unterminated, at, '"'), std::nullopt) << unterminated;
    }
}

TEST(Utf16, BecomesUtf8WithLoneSurrogatesReplaced) {
    const struct {
        std::u16string units;
        Text utf8;
    } cases[] = {
        {u"Path", "Path"},
        {u"\u00DCber", "\xC3\x9C" "ber"},
        {u"\u20AC", "\xE2\x82\xAC"},
        {u"\U0001F600", "\xF0\x9F\x98\x80"},
        {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
        {u"a\xD83D", "a\xEF\xBF\xBD"},
        {u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // the wrong way round
        {u"\xD83Dx", "\xEF\xBF\xBDx"},
        {std::u16string(u"a\0b", 3), Text("a\0b", 3)},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8FromUtf16(c.units), c.utf8);

    std::u16string units;
    for (const char32_t codePoint : {U'A', U'\u00DC', U'\uFFFF', U'\U00010000', U'\U0010FFFF'})
        AppendUtf16(units, codePoint);
    EXPECT_EQ(units, u"A\u00DC\uFFFF\U00010000\U0010FFFF");
}

}  // namespace
}  // namespace tolvaren
