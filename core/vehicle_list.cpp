#include "core/vehicle_list.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

namespace tolvaren {
namespace {

// A key as an eight-byte word and the mask of its bytes, built from bytes so
// that it does not depend on the machine's byte order.
struct KeyWord {
    std::uint64_t word;
    std::uint64_t mask;
};
constexpr std::size_t kWordBytes = sizeof(std::uint64_t);

constexpr std::size_t LongestKey() {
    std::size_t longest = 0;
    for (const std::string_view key : kSwitchedKeys) longest = std::max(longest, key.size());
    return longest;
}
static_assert(LongestKey() <= kWordBytes, "every key fits in a word");

std::uint64_t Word(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// True when a switched key starts at `at`, with `left` bytes from there on.
// With a whole word left, every key is compared at once and without branches:
// most prefix bytes are followed by no key at all.
bool SwitchedKeyAt(const char* at, std::size_t left) {
    static const auto keyWords = [] {
        std::array<KeyWord, std::size(kSwitchedKeys)> words{};
        for (std::size_t i = 0; i < words.size(); ++i) {
            const std::string_view key = kSwitchedKeys[i];
            char bytes[kWordBytes] = {}, mask[kWordBytes] = {};
            std::memcpy(bytes, key.data(), key.size());
            std::memset(mask, 0xFF, key.size());
            words[i] = {Word(bytes), Word(mask)};
        }
        return words;
    }();
    if (left < kWordBytes) {
        for (const std::string_view key : kSwitchedKeys)
            if (left >= key.size() && std::equal(key.begin(), key.end(), at)) return true;
        return false;
    }
    const std::uint64_t word = Word(at);
    bool found = false;
    for (const KeyWord& key : keyWords) found |= (word & key.mask) == key.word;
    return found;
}

}  // namespace

std::int32_t StateOfVehicleList(const Text& vehicleList) {
    return FindText(vehicleList, kStateMarker) != 0 ? 0 : 1;
}

// One pass that equals the eight replacements applied in order: a key holds
// neither prefix byte and no position starts two keys, so each replacement
// only turns the byte in front of its own key, found in the original text.
Text SwitchVehicleKeys(std::string_view vehicleList, std::int32_t requestedState) {
    const char oldPrefix = requestedState != 0 ? kCommentPrefix : kBlankPrefix;
    const char newPrefix = requestedState != 0 ? kBlankPrefix : kCommentPrefix;
    Text result(vehicleList);
    const char* const begin = vehicleList.data();
    const char* const end = begin + vehicleList.size();
    for (const char* at = begin; at < end; ++at) {
        at = static_cast<const char*>(std::memchr(at, oldPrefix, end - at));
        if (at == nullptr) break;
        result[at - begin] = SwitchedKeyAt(at + 1, end - (at + 1)) ? newPrefix : oldPrefix;
    }
    return result;
}

}  // namespace tolvaren
