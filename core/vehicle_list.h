#pragma once
// The two rules over the vehicle list text: whether the extra vehicles are
// enabled, and the prefix swap that switches them.
#include <cstdint>
#include <string_view>

#include "core/text.h"
#include "core/turned_bytes.h"

namespace tolvaren {

// Present anywhere in the list = extra vehicles disabled.
inline const Text kStateMarker = ";[Team KTM]";

// The keys whose one-byte prefix is switched, in the order they are applied.
inline constexpr std::string_view kSwitchedKeys[] = {
    "logo=", "Logo=", "sub=", "Sub=", "[Team", "[KTM", "[Yamaha", "[Suzuki"};
inline constexpr char kCommentPrefix = ';';  // in front of a key: disabled
inline constexpr char kBlankPrefix = ' ';    // in front of a key: enabled

// 1 (enabled) or 0 (disabled).
std::int32_t StateOfVehicleList(std::string_view vehicleList);

// For every switched key K, in order: ";"+K becomes " "+K when
// `requestedState` is non-zero (enable), " "+K becomes ";"+K when it is zero.
// Changes `text` in place (its length stays) and returns what it turned.
TurnedBytes SwitchVehicleKeysInPlace(char* text, std::size_t size, std::int32_t requestedState);

// The same on a copy.
Text SwitchVehicleKeys(std::string_view vehicleList, std::int32_t requestedState);

}  // namespace tolvaren
