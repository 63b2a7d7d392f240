#pragma once
// The two rules over the vehicle list text: whether the extra vehicles are
// enabled, and the prefix swap that switches them.
#include <cstdint>
#include <string_view>

#include "core/list.h"
#include "core/result.h"

namespace tolvaren {

// Present anywhere in the list = extra vehicles disabled.
inline constexpr char kStateMarker[] = ";[Team KTM]";

inline constexpr char kCommentPrefix = ';';  // in front of a key: disabled
inline constexpr char kBlankPrefix = ' ';    // in front of a key: enabled

// 1 (enabled) or 0 (disabled).
std::int32_t StateOfVehicleList(std::string_view vehicleList);

// Whether the byte at `position` is the prefix of the state marker's key:
// one of the bytes whose turn changes what the list reads as.
bool PrefixesStateMarker(std::string_view vehicleList, std::size_t position);

// The bytes a switch turned, each of them from `before`.
struct TurnedBytes {
    char before = 0;
    List<std::size_t> positions;  // ascending
};

// For every switched key K ("logo=", "Logo=", "sub=", "Sub=", "[Team",
// "[KTM", "[Yamaha", "[Suzuki"): ";"+K becomes " "+K when `requestedState`
// is non-zero (enable), " "+K becomes ";"+K when it is zero. Changes `text`
// in place (its length stays) and returns what it turned; OutOfMemory,
// with `text` as it was, when there is no room to note that.
Result<TurnedBytes> SwitchVehicleKeysInPlace(char* text, std::size_t size, std::int32_t requestedState);

// The same on a copy.
Text SwitchVehicleKeys(std::string_view vehicleList, std::int32_t requestedState);

}  // namespace tolvaren
