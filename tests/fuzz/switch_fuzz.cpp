// Arbitrary texts through the switch, both ways. The result keeps the
// length, differs only at prefix bytes right before a switched key, is
// stable when repeated, equals the eight replacements done one by one, and
// the in-place switch's record takes it back.
#include <cstdint>

#include "tests/support/eight_pass_oracle.h"
#include "tests/fuzz/fuzz_check.h"

using namespace tolvaren;

namespace {

bool SwitchedKeyFollows(const Text& text, std::size_t at) {
    for (const std::string_view key : test::kSwitchedKeys)
        if (text.compare(at + 1, key.size(), key) == 0) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text text(reinterpret_cast<const char*>(data), size);
    for (const std::int32_t state : {1, 0}) {
        const char oldPrefix = state != 0 ? kCommentPrefix : kBlankPrefix;
        const char newPrefix = state != 0 ? kBlankPrefix : kCommentPrefix;
        const Text switched = SwitchVehicleKeys(text, state);
        FUZZ_CHECK(switched.size() == text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (switched[i] == text[i]) continue;
            FUZZ_CHECK(text[i] == oldPrefix && switched[i] == newPrefix);
            FUZZ_CHECK(SwitchedKeyFollows(text, i));
        }
        FUZZ_CHECK(SwitchVehicleKeys(switched, state) == switched);
        FUZZ_CHECK(switched == test::SwitchByEightReplacements(text, state));

        Text inPlace = text;
        const Result<TurnedBytes> turned = SwitchVehicleKeysInPlace(inPlace.data(), inPlace.size(), state);
        FUZZ_CHECK(turned && inPlace == switched);
        for (const std::size_t position : turned->positions) inPlace[position] = turned->before;
        FUZZ_CHECK(inPlace == text);
    }
    return 0;
}
