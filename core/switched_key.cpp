#include "core/switched_key.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>

#include "core/vehicle_list.h"

namespace tolvaren {
namespace {

// Eight text bytes as a little-endian number, whatever the machine's byte
// order; compilers turn this into a single load.
using Word = std::uint64_t;
constexpr std::size_t kWordBytes = sizeof(Word);

Word LoadWord(const char* bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return Word{b[0]} | Word{b[1]} << 8 | Word{b[2]} << 16 | Word{b[3]} << 24 |
           Word{b[4]} << 32 | Word{b[5]} << 40 | Word{b[6]} << 48 | Word{b[7]} << 56;
}

constexpr Word WordOf(std::string_view key) {
    Word word = 0;
    for (std::size_t i = 0; i < key.size(); ++i)
        word |= Word{static_cast<unsigned char>(key[i])} << (8 * i);
    return word;
}

constexpr Word MaskOf(std::string_view key) {
    return key.size() == kWordBytes ? ~Word{0} : (Word{1} << (8 * key.size())) - 1;
}

constexpr std::size_t kKeyCount = std::size(kSwitchedKeys);

constexpr bool EveryKey(bool (*holds)(std::string_view)) {
    for (const std::string_view key : kSwitchedKeys)
        if (!holds(key)) return false;
    return true;
}
static_assert(EveryKey([](std::string_view key) { return key.size() >= 4; }),
              "the hash reads a key's first four bytes");
static_assert(EveryKey([](std::string_view key) { return key.size() <= kWordBytes; }),
              "every key fits in a word");
static_assert(EveryKey([](std::string_view key) { return key.find('\0') == key.npos; }),
              "zero bytes can pad the end of the text");

// A minimal perfect hash of the keys' first four bytes: every key has a slot
// of its own, so a text word can only be the key in its slot. The multiplier
// is searched for when compiling.
constexpr unsigned kSlotBits = 3;
static_assert(kKeyCount == std::size_t{1} << kSlotBits, "every slot holds a key");

constexpr std::size_t Slot(Word word, Word multiplier) {
    return static_cast<std::size_t>(((word & 0xFFFFFFFFu) * multiplier) >> (64 - kSlotBits));
}

constexpr bool SeparatesKeys(Word multiplier) {
    bool taken[kKeyCount] = {};
    for (const std::string_view key : kSwitchedKeys) {
        const std::size_t slot = Slot(WordOf(key), multiplier);
        if (taken[slot]) return false;
        taken[slot] = true;
    }
    return true;
}

constexpr Word FindMultiplier() {
    Word candidate = 0x9E3779B97F4A7C15u;
    while (!SeparatesKeys(candidate))
        candidate = candidate * 6364136223846793005u + 1442695040888963407u;
    return candidate;
}
constexpr Word kMultiplier = FindMultiplier();

struct KeyWord {
    Word word = 0;
    Word mask = 0;
};

constexpr std::array<KeyWord, kKeyCount> KeysBySlot() {
    std::array<KeyWord, kKeyCount> slots{};
    for (const std::string_view key : kSwitchedKeys)
        slots[Slot(WordOf(key), kMultiplier)] = {WordOf(key), MaskOf(key)};
    return slots;
}
constexpr std::array<KeyWord, kKeyCount> kKeysBySlot = KeysBySlot();

bool KeyStartsWord(Word word) {
    const KeyWord& key = kKeysBySlot[Slot(word, kMultiplier)];
    return (word & key.mask) == key.word;
}

}  // namespace

bool SwitchedKeyAt(const char* at, std::size_t left) {
    if (left >= kWordBytes) return KeyStartsWord(LoadWord(at));
    // Near the end: zero bytes stand in for the missing ones, and no key
    // holds a zero byte.
    char tail[kWordBytes] = {};
    std::memcpy(tail, at, left);
    return KeyStartsWord(LoadWord(tail));
}

}  // namespace tolvaren
