#include <gtest/gtest.h>


#include "core/vehicle_list.h"
#include "tests/support/eight_pass_oracle.h"

namespace tolvaren {
namespace {

// Seven CR LF separated lines, 77 bytes.
const Text kExampleBefore =
    ";[Team KTM]\r\n;logo=red\r\n;Sub=2\r\n;LOGO=big\r\n[Yamaha]\r\nlogo=tan\r\nmodel=a logo=b";
const Text kExampleEnabled =
    " [Team KTM]\r\n logo=red\r\n Sub=2\r\n;LOGO=big\r\n[Yamaha]\r\nlogo=tan\r\nmodel=a logo=b";
const Text kExampleDisabledAgain =
    ";[Team KTM]\r\n;logo=red\r\n;Sub=2\r\n;LOGO=big\r\n[Yamaha]\r\nlogo=tan\r\nmodel=a;logo=b";

TEST(VehicleList, WorkedExampleEnablesThenDisablesByteForByte) {
    ASSERT_EQ(kExampleBefore.size(), 77u);
    EXPECT_EQ(StateOfVehicleList(kExampleBefore), 0);

    const Text enabled = SwitchVehicleKeys(kExampleBefore, 1);
    EXPECT_EQ(enabled, kExampleEnabled);
    EXPECT_EQ(StateOfVehicleList(enabled), 1);

    const Text disabled = SwitchVehicleKeys(enabled, 0);
    EXPECT_EQ(disabled, kExampleDisabledAgain);
    EXPECT_EQ(StateOfVehicleList(disabled), 0);
}

TEST(VehicleList, StateRuleLooksOnlyForTheExactMarker) {
    const std::pair<Text, std::int32_t> cases[] = {
        {"", 1},
        {";[Team KTM]", 0},
        {"x=1 ;[Team KTM] y", 0},
        {";[Team KTM]\n;[Team KTM]", 0},
        {";[team ktm]", 1},
        {";[TEAM KTM]", 1},
        {" [Team KTM]", 1},
        {"\t[Team KTM]", 1},
        {"\n[Team KTM]", 1},
        {"[Team KTM]", 1},
        {";[Team  KTM]", 1},
        {Text(";[Team\0KTM]", 11), 1},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(StateOfVehicleList(text), expected) << '"' << text << '"';
}

struct SwitchCase {
    const char* what;
    Text before;
    std::int32_t state;
    Text after;
};

TEST(VehicleList, SwitchTouchesOnlyThePrefixByteRightBeforeAKey) {
    const SwitchCase cases[] = {
        {"every key enables", ";logo=;Logo=;sub=;Sub=;[Team;[KTM;[Yamaha;[Suzuki", 1,
         " logo= Logo= sub= Sub= [Team [KTM [Yamaha [Suzuki"},
        {"every key disables", " logo= Logo= sub= Sub= [Team [KTM [Yamaha [Suzuki", 0,
         ";logo=;Logo=;sub=;Sub=;[Team;[KTM;[Yamaha;[Suzuki"},
        {"key at the start is untouched", "logo=a", 0, "logo=a"},
        {"key after a line break is untouched", "a\r\nlogo=b\n[KTM", 0, "a\r\nlogo=b\n[KTM"},
        {"key after a tab is untouched", "\tsub=1", 0, "\tsub=1"},
        {"only the second of two semicolons", ";;logo=x", 1, "; logo=x"},
        {"only the second of two spaces", "  logo=x", 0, " ;logo=x"},
        {"other letter cases are not keys", ";LOGO=x;SUB=y;[team;[ktm;[YAMAHA", 1,
         ";LOGO=x;SUB=y;[team;[ktm;[YAMAHA"},
        {"a key without its = is not a key", ";logo ;Sub", 1, ";logo ;Sub"},
        {"state 2 enables", ";[KTM]", 2, " [KTM]"},
        {"state -1 enables", ";[KTM]", -1, " [KTM]"},
        {"nothing to switch", "model=x\r\n", 1, "model=x\r\n"},
        {"NUL bytes pass through", Text(";logo=\0;sub=", 12), 1, Text(" logo=\0 sub=", 12)},
        {"longer key inside a value", "name=a;[Suzuki GSX]", 1, "name=a [Suzuki GSX]"},
    };
    for (const SwitchCase& c : cases) {
        const Text after = SwitchVehicleKeys(c.before, c.state);
        EXPECT_EQ(after, c.after) << c.what;
        EXPECT_EQ(after.size(), c.before.size()) << c.what;

        // What it notes as turned is what a failed write needs to put back.
        Text inPlace = c.before;
        const Result<TurnedBytes> turned = SwitchVehicleKeysInPlace(inPlace.data(), inPlace.size(), c.state);
        ASSERT_TRUE(turned);
        EXPECT_EQ(inPlace, c.after) << c.what;
        for (const std::size_t position : turned->positions) inPlace[position] = turned->before;
        EXPECT_EQ(inPlace, c.before) << c.what << ": undone";
    }
}

TEST(VehicleList, SwitchingTheSameWayTwiceChangesNothingMore) {
    for (const Text& text : {kExampleBefore, kExampleEnabled, kExampleDisabledAgain}) {
        for (std::int32_t state : {0, 1}) {
            const Text once = SwitchVehicleKeys(text, state);
            EXPECT_EQ(SwitchVehicleKeys(once, state), once) << "state " << state;
        }
    }
}

// The switch fuzz target holds the one pass to the eight replacements on
// any text; here, once, on the worked example.
TEST(VehicleList, OnePassEqualsTheEightReplacements) {
    for (std::int32_t state : {0, 1})
        EXPECT_EQ(SwitchVehicleKeys(kExampleBefore, state), test::SwitchByEightReplacements(kExampleBefore, state));
}

}  // namespace
}  // namespace tolvaren
