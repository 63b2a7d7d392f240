#pragma once
// Writes archives in the game's format, for the demo, the tests and the
// benchmarks. Nothing here comes from a real game.
#include <cstdint>
#include <vector>

#include "core/text.h"

namespace tolvaren {

struct ArchiveEntry {
    Text name;
    Text bytes;
};

Text EncodeInt32(std::int32_t value);

// One directory record; the name field is cut or zero-filled to its 100 bytes.
Text EncodeRecord(const Text& nameField, std::int32_t offset, std::int32_t size);

// Entry count, one record per entry, then the entries' bytes in order.
Text BuildArchive(const std::vector<ArchiveEntry>& entries);

// A made-up vehicle list with the extra vehicles disabled.
Text DemoVehicleList();

// Several made-up entries, the vehicle list among them.
Text DemoArchive();

bool WriteWholeFile(const Text& path, const Text& bytes);
Text ReadWholeFile(const Text& path);

}  // namespace tolvaren
