#include "core/vehicle_list_scan.h"

#include <cstring>

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
    return position > INT32_MAX ? 0 : static_cast<std::int32_t>(position);
}

Outcome RecordMatch(std::int32_t entryCount, std::int32_t offset, std::int32_t size,
                    ArchiveLocation& location) {
    const std::int64_t position = EntryPosition(entryCount, offset);
    location.position = StorablePosition(position);
    location.size = size;
    if (EntryStartIsDamaged(offset, position)) return Reason::EntryDamaged;
    return LocationProblem(location);
}

Outcome FindInDirectory(ReadAheadFile& file, ArchiveLocation& location) {
    const std::int32_t entryCount = ReadInt32(file);
    for (std::int32_t record = 0; record < entryCount; ++record) {
        char spare[kNameFieldBytes];
        const FieldBytes name = ReadField(file, spare);
        // Compared before the next read, which may refill the buffer under it.
        const bool matches = NameFieldMatches(name.bytes);
        const std::int32_t offset = ReadInt32(file);
        const std::int32_t size = ReadInt32(file);
        if (matches) return RecordMatch(entryCount, offset, size, location);
        // Every later record lies wholly past the end: empty names, no match.
        if (name.present < sizeof spare) break;
    }
    return Reason::NoVehicleList;
}

// The entry's bytes, as far as a buffer of its size can be had and its
// position lies in the file; `whole` tells whether the file held them all.
Text ReadEntry(File& file, const ArchiveLocation& location, bool& whole) {
    Text entry;
    whole = false;
    // The bytes of an entry that starts inside the directory are still read.
    if (LocationProblem(location) != Reason::Done || !TryZeroFill(entry, location.size) ||
        !SeekToPosition(file, location.position))
        return Text();
    whole = ReadPadded(file, entry.data(), entry.size()) == entry.size();
    return entry;
}

}  // namespace

Outcome FindVehicleList(File& archive, ArchiveLocation& location) {
    ReadAheadFile file(archive);
    return FindInDirectory(file, location);
}

ScanResult ReadVehicleList(FileSystem& files, const Text& path, ArchiveLocation& location) {
    const OpenedArchive archive = OpenArchive(files, path, WhenInUse::ReadShared);
    if (!archive.file) return {Text(), archive.problem};
    ReadAheadFile file(*archive.file);
    ScanResult scan{Text(), FindInDirectory(file, location)};
    if (scan.outcome.reason == Reason::NoVehicleList) return scan;  // nothing to read
    bool whole = false;
    scan.vehicleList = ReadEntry(file, location, whole);
    if (scan.outcome.Done() && !whole) scan.outcome = Reason::EntryDamaged;  // runs past the end
    // A list that cannot be switched is the lasting problem; else the holder.
    if (scan.outcome.Done() && archive.problem.reason == Reason::InUse) scan.outcome = archive.problem;
    return scan;
}

}  // namespace tolvaren
