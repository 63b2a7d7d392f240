#include "core/vehicle_list_scan.h"

#include <cstring>
#include <limits>

#include "core/archive_access.h"
#include "core/archive_format.h"
#include "core/read_ahead_file.h"

namespace tolvaren {
namespace {

// The name ends at the field's first NUL byte, and the wanted name holds
// none: it matches exactly when its bytes are followed by a NUL.
bool NameFieldMatches(const char* field) {
    return std::memcmp(field, kVehicleListName.data(), kVehicleListName.size()) == 0 &&
           field[kVehicleListName.size()] == '\0';
}

// A position that does not fit is remembered as 0: no rewrite may use it.
std::int32_t StorablePosition(std::int64_t position) {
    return position > std::numeric_limits<std::int32_t>::max()
               ? 0
               : static_cast<std::int32_t>(position);
}

Text ReadEntry(File& file, const ArchiveLocation& location) {
    if (!HoldsVehicleList(location)) return {};
    Text entry;
    if (!TryZeroFill(entry, location.size) || !SeekToPosition(file, location.position)) return {};
    ReadPadded(file, entry.data(), entry.size());
    return entry;
}

}  // namespace

Text ReadVehicleList(FileSystem& files, const Text& path, ArchiveLocation& location) {
    const OpenedArchive archive = OpenArchive(files, path);
    if (!archive.file) return {};
    ReadAheadFile file(*archive.file);
    const std::int32_t entryCount = ReadInt32(file);
    for (std::int32_t record = 0; record < entryCount; ++record) {
        char spare[kNameFieldBytes];
        const FieldBytes name = ReadField(file, spare);
        // Compared before the next read, which may refill the buffer under it.
        const bool matches = NameFieldMatches(name.bytes);
        const std::int32_t offset = ReadInt32(file);
        const std::int32_t size = ReadInt32(file);
        if (matches) {
            location.position = StorablePosition(EntryPosition(entryCount, offset));
            location.size = size;
            return ReadEntry(file, location);
        }
        // Every later record lies wholly past the end: empty names, no match.
        if (name.present < sizeof spare) break;
    }
    return {};
}

Text ReadVehicleList(const Text& path) {
    return ReadVehicleList(PlatformFileSystem(), path, ProgramArchiveLocation());
}

}  // namespace tolvaren
