#pragma once
// The game archive: a signed 32-bit little-endian entry count, that many
// fixed-size directory records, then the data area.
#include <cstdint>

#include "core/text.h"

namespace tolvaren {

constexpr std::int64_t kEntryCountBytes = 4;
constexpr std::int64_t kNameFieldBytes = 100;
constexpr std::int64_t kNumberBytes = 4;
constexpr std::int64_t kRecordBytes = kNameFieldBytes + 2 * kNumberBytes;  // name, offset, size

inline const Text kVehicleListName = "Data\\Veh\\Vehicles.dat";

// A vehicle list is a few kilobytes of text. A directory record claiming more
// than this is damaged, and is not worth gigabytes of memory to read.
constexpr std::int32_t kMaxVehicleListBytes = 16 << 20;

// 1-based file position of an entry's first byte; the data area starts after
// all `entryCount` records. Exact: never overflows for any 32-bit inputs.
constexpr std::int64_t EntryPosition(std::int32_t entryCount, std::int32_t offset) {
    const std::int64_t records = entryCount > 0 ? entryCount : 0;
    return kEntryCountBytes + kRecordBytes * records + offset + 1;
}

// An entry that starts inside the entry count or the directory (a negative
// offset) or beyond what a 32-bit position holds: its directory is damaged.
constexpr bool EntryStartIsDamaged(std::int32_t offset, std::int64_t position) {
    return offset < 0 || position > INT32_MAX;
}

}  // namespace tolvaren
