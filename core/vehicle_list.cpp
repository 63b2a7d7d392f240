#include "core/vehicle_list.h"

#include <cstring>

#include "core/switched_key.h"

namespace tolvaren {

std::int32_t StateOfVehicleList(std::string_view vehicleList) {
    return FindText(vehicleList, kStateMarker) != 0 ? 0 : 1;
}

// One pass that equals the eight replacements applied in order: a key holds
// neither prefix byte and no position starts two keys, so each replacement
// only turns the byte in front of its own key, found in the original text.
TurnedBytes SwitchVehicleKeysInPlace(char* text, std::size_t size, std::int32_t requestedState) {
    const char oldPrefix = requestedState != 0 ? kCommentPrefix : kBlankPrefix;
    const char newPrefix = requestedState != 0 ? kBlankPrefix : kCommentPrefix;
    TurnedBytes turned(size, oldPrefix);
    char* const end = text + size;
    for (char* at = text; at < end; ++at) {
        at = static_cast<char*>(std::memchr(at, oldPrefix, end - at));
        if (at == nullptr) break;
        if (SwitchedKeyAt(at + 1, end - (at + 1))) turned.Turn(text, at - text, newPrefix);
    }
    return turned;
}

Text SwitchVehicleKeys(std::string_view vehicleList, std::int32_t requestedState) {
    Text result(vehicleList);
    SwitchVehicleKeysInPlace(result.data(), result.size(), requestedState);
    return result;
}

}  // namespace tolvaren
