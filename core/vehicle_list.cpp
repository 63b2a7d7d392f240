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

// Calls `at(position)` for the prefix byte in front of each switched key,
// front to back.
template <class At>
void ForEachKeyPrefix(const char* text, std::size_t size, char prefix, At at) {
    const char* const end = text + size;
    for (const char* found = text; found < end; ++found) {
        found = static_cast<const char*>(std::memchr(found, prefix, end - found));
        if (found == nullptr) break;
        if (StartsWithSwitchedKey(std::string_view(found + 1, end - (found + 1)))) at(found - text);
    }
}

struct PrefixTurn {
    char from, to;
};

// Enabling (any non-zero state) uncomments the keys; disabling comments them.
PrefixTurn TurnFor(std::int32_t requestedState) {
    if (requestedState != 0) return {kCommentPrefix, kBlankPrefix};
    return {kBlankPrefix, kCommentPrefix};
}

}  // namespace

std::int32_t StateOfVehicleList(std::string_view vehicleList) {
    return FindText(vehicleList, kStateMarker) != 0 ? 0 : 1;
}

bool PrefixesStateMarker(std::string_view vehicleList, std::size_t position) {
    constexpr std::string_view kMarkerKey(kStateMarker + 1);  // without its prefix
    return position + 1 + kMarkerKey.size() <= vehicleList.size() &&
           std::memcmp(vehicleList.data() + position + 1, kMarkerKey.data(), kMarkerKey.size()) == 0;
}

// One pass that equals the eight replacements applied in order: a key holds
// neither prefix byte and no position starts two keys, so each replacement
// only turns the byte in front of its own key, found in the original text.
// A first pass counts, so that the positions have their room before any
// byte turns.
Result<TurnedBytes> SwitchVehicleKeysInPlace(char* text, std::size_t size, std::int32_t requestedState) {
    const PrefixTurn turn = TurnFor(requestedState);
    std::size_t count = 0;
    ForEachKeyPrefix(text, size, turn.from, [&count](std::size_t) { ++count; });
    TurnedBytes turned{turn.from, {}};
    if (!turned.positions.TryReserve(count)) return Reason::OutOfMemory;
    ForEachKeyPrefix(text, size, turn.from, [&](std::size_t position) {
        text[position] = turn.to;
        turned.positions.push_back(position);
    });
    return turned;
}

Text SwitchVehicleKeys(std::string_view vehicleList, std::int32_t requestedState) {
    const PrefixTurn turn = TurnFor(requestedState);
    Text result(vehicleList);
    ForEachKeyPrefix(result.data(), result.size(), turn.from,
                     [&](std::size_t position) { result[position] = turn.to; });
    return result;
}

}  // namespace tolvaren
