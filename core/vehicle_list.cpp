#include "core/vehicle_list.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

namespace tolvaren {
namespace {

constexpr std::size_t kHeadBytes = 4;  // the shortest key's length

std::uint32_t Head(const char* bytes) {
    std::uint32_t head;
    std::memcpy(&head, bytes, sizeof head);
    return head;
}

// True when a switched key starts at `at`, with `left` bytes from there on.
// Every key's first four bytes are compared at once, without branches, as
// most prefix bytes are followed by none; only a key whose head matches is
// compared further.
bool SwitchedKeyAt(const char* at, std::size_t left) {
    constexpr std::size_t kKeys = std::size(kSwitchedKeys);
    static const auto heads = [] {
        std::array<std::uint32_t, kKeys> table{};
        for (std::size_t i = 0; i < kKeys; ++i) table[i] = Head(kSwitchedKeys[i].data());
        return table;
    }();
    if (left < kHeadBytes) return false;
    const std::uint32_t head = Head(at);
    unsigned matches = 0;
    for (std::size_t i = 0; i < kKeys; ++i) matches |= unsigned{heads[i] == head} << i;
    for (std::size_t i = 0; matches != 0; ++i, matches >>= 1) {
        const Text& key = kSwitchedKeys[i];
        if ((matches & 1) != 0 && left >= key.size() &&
            std::equal(key.begin() + kHeadBytes, key.end(), at + kHeadBytes))
            return true;
    }
    return false;
}

}  // namespace

std::int32_t StateOfVehicleList(const Text& vehicleList) {
    return FindText(vehicleList, kStateMarker) != 0 ? 0 : 1;
}

// One pass that equals the eight replacements applied in order: a key holds
// neither prefix byte and no position starts two keys, so each replacement
// only turns the byte in front of its own key, found in the original text.
Text SwitchVehicleKeys(const Text& vehicleList, std::int32_t requestedState) {
    const char oldPrefix = requestedState != 0 ? kCommentPrefix : kBlankPrefix;
    const char newPrefix = requestedState != 0 ? kBlankPrefix : kCommentPrefix;
    Text result = vehicleList;
    const char* const begin = vehicleList.data();
    const char* const end = begin + vehicleList.size();
    for (const char* at = begin; at < end; ++at) {
        at = static_cast<const char*>(std::memchr(at, oldPrefix, end - at));
        if (at == nullptr) break;
        if (SwitchedKeyAt(at + 1, end - (at + 1))) result[at - begin] = newPrefix;
    }
    return result;
}

}  // namespace tolvaren
