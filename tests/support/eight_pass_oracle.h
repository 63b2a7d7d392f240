#pragma once
// The switch by its definition: eight replacements over the whole text, one
// key after another. The one-pass switch must always give the same bytes.
#include <string_view>

#include "core/text.h"
#include "core/vehicle_list.h"

namespace tolvaren::test {

// The keys whose one-byte prefix is switched, in the order they are applied.
inline constexpr std::string_view kSwitchedKeys[] = {
    "logo=", "Logo=", "sub=", "Sub=", "[Team", "[KTM", "[Yamaha", "[Suzuki"};

inline Text SwitchByEightReplacements(const Text& vehicleList, std::int32_t requestedState) {
    const Text oldPrefix(1, requestedState != 0 ? kCommentPrefix : kBlankPrefix);
    const Text newPrefix(1, requestedState != 0 ? kBlankPrefix : kCommentPrefix);
    Text result = vehicleList;
    for (const std::string_view key : kSwitchedKeys)
        result = ReplaceAll(result, oldPrefix + Text(key), newPrefix + Text(key));
    return result;
}

}  // namespace tolvaren::test
