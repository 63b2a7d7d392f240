#include <gtest/gtest.h>

#include "core/text.h"

namespace tolvaren {
namespace {

struct FindCase {
    Text text, search;
    std::size_t start, expected;
};

TEST(FindText, FindsFirstOccurrenceAtOrAfterStart) {
    const FindCase cases[] = {
        {"abcabc", "abc", 1, 1},
        {"abcabc", "abc", 2, 4},
        {"abcabc", "abc", 5, 0},
        {"abc", "", 1, 0},             // empty search never matches
        {"", "a", 1, 0},
        {"ABC", "abc", 1, 0},          // case-sensitive
        {Text("a\0b", 3), Text("\0b", 2), 1, 2},  // NUL bytes are ordinary bytes
        {"abc", "abc", 99, 0},         // start past the end
        {"abc", "abcd", 1, 0},
    };
    for (const FindCase& c : cases)
        EXPECT_EQ(FindText(c.text, c.search, c.start), c.expected)
            << '"' << c.text << "\" / \"" << c.search << "\" from " << c.start;
}

struct ReplaceCase {
    Text text, search, replacement, expected;
};

TEST(Printable, EveryControlCharacterBecomesAQuestionMarkAndTextStays) {
    const std::pair<Text, Text> cases[] = {
        {"C:\\Games\\Racer", "C:\\Games\\Racer"},
        {"a\tb\nc\rd\x1b[2J\x7f", "a?b?c?d?[2J?"},
        {"csi \xC2\x9B""2J, nel \xC2\x85", "csi ?2J, nel ?"},          // C1, as UTF-8
        {"caf\xC3\xA9 \xE2\x82\xAC \xC2\xA0", "caf\xC3\xA9 \xE2\x82\xAC \xC2\xA0"},  // not controls
        {"cut \xC2", "cut \xC2"},
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(Printable(text), shown) << text;
    // In an older code page those bytes are letters: Shift-JIS "見つかりません".
    const Text japanese = "\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1";
    EXPECT_EQ(Printable(japanese, Encoding::CodePage), japanese);
    EXPECT_EQ(Printable("a\tb\x7f", Encoding::CodePage), "a?b?");
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutOverlapOrRescan) {
    const ReplaceCase cases[] = {
        {"aaa", "aa", "b", "ba"},          // no overlap: the second "aa" starts inside the first
        {"abab", "ab", "ab", "abab"},
        {"xay", "a", "aa", "xaay"},        // replacement is not scanned again
        {"aXa", "a", "Xa", "XaXXa"},
        {"abc", "", "z", "abc"},           // empty search: unchanged
        {"ab", "abc", "z", "ab"},          // text shorter than search: unchanged
        {"", "a", "b", ""},
        {"cab", "ab", "", "c"},
        {";logo=;logo=", ";logo=", " logo=", " logo= logo="},
        {Text("\0;\0;", 4), ";", " ", Text("\0 \0 ", 4)},
    };
    for (const ReplaceCase& c : cases)
        EXPECT_EQ(ReplaceAll(c.text, c.search, c.replacement), c.expected)
            << '"' << c.text << "\" / \"" << c.search << "\" -> \"" << c.replacement << '"';
}

// The text type's own edges: a part of itself appended or assigned, parts
// past the end, the most negative number, and a value that looks like a
// placeholder staying a value.
TEST(TextType, PartsOfItselfEdgesAndPlaceholdersAreHandled) {
    Text text = "abc";
    text.append(text);
    text.append(std::string_view(text).substr(1, 2));
    EXPECT_EQ(text, "abcabcbc");
    text.assign(std::string_view(text).substr(2));
    EXPECT_EQ(text, "cabcbc");
    EXPECT_EQ(Text("abc").substr(5), "");
    EXPECT_EQ(Text("abc").substr(1, 99), "bc");
    EXPECT_EQ(Text("abcdef").replace(1, 2, "XYZ"), "aXYZdef");
    EXPECT_EQ(DecimalText(-9223372036854775807LL - 1), "-9223372036854775808");
    EXPECT_EQ(DecimalText(0), "0");
    EXPECT_EQ(Fill("{path}: {detail}", {{"{path}", "{detail}"}, {"{detail}", "x"}}), "{detail}: x");
}

}  // namespace
}  // namespace tolvaren
