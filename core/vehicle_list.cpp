#include "core/vehicle_list.h"

#include <cstring>

namespace tolvaren {
namespace {

// A compare of a known length, which compilers do without a call.
template <std::size_t Size>
bool StartsWith(std::string_view text, const char (&key)[Size]) {
    constexpr std::size_t kKeyBytes = Size - 1;  // without its terminating zero
    return text.size() >= kKeyBytes && std::memcmp(text.data(), key, kKeyBytes) == 0;
}

// Whether a switched key starts `text`, told by its first byte.
bool StartsWithSwitchedKey(std::string_view text) {
    if (text.empty()) return false;
    switch (text[0]) {
        case 'l': return StartsWith(text, "logo=");
        case 'L': return StartsWith(text, "Logo=");
        case 's': return StartsWith(text, "sub=");
        case 'S': return StartsWith(text, "Sub=");
        case '[':
            return StartsWith(text, "[Team") || StartsWith(text, "[KTM") ||
                   StartsWith(text, "[Yamaha") || StartsWith(text, "[Suzuki");
        default: return false;
    }
}

}  // namespace

std::int32_t StateOfVehicleList(std::string_view vehicleList) {
    return FindText(vehicleList, kStateMarker) != 0 ? 0 : 1;
}

bool PrefixesStateMarker(std::string_view vehicleList, std::size_t position) {
    constexpr std::string_view kMarkerKey(kStateMarker + 1);  // without its prefix
    return position + 1 < vehicleList.size() && vehicleList[position + 1] == kMarkerKey[0] &&
           vehicleList.substr(position + 1, kMarkerKey.size()) == kMarkerKey;
}

// One pass that equals the eight replacements applied in order: a key holds
// neither prefix byte and no position starts two keys, so each replacement
// only turns the byte in front of its own key, found in the original text.
TurnedBytes SwitchVehicleKeysInPlace(char* text, std::size_t size, std::int32_t requestedState) {
    const char oldPrefix = requestedState != 0 ? kCommentPrefix : kBlankPrefix;
    const char newPrefix = requestedState != 0 ? kBlankPrefix : kCommentPrefix;
    TurnedBytes turned{oldPrefix, {}};
    char* const end = text + size;
    for (char* at = text; at < end; ++at) {
        at = static_cast<char*>(std::memchr(at, oldPrefix, end - at));
        if (at == nullptr) break;
        if (!StartsWithSwitchedKey(std::string_view(at + 1, end - (at + 1)))) continue;
        *at = newPrefix;
        turned.positions.push_back(at - text);
    }
    return turned;
}

Text SwitchVehicleKeys(std::string_view vehicleList, std::int32_t requestedState) {
    Text result(vehicleList);
    SwitchVehicleKeysInPlace(result.data(), result.size(), requestedState);
    return result;
}

}  // namespace tolvaren
