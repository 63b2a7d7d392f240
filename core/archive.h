#pragma once
// The game archive: a signed 32-bit little-endian entry count, that many
// fixed-size directory records (name, offset into the data area, size),
// then the data area. How it is opened, and the scan that finds the vehicle
// list in its directory.
#include <cstdint>

#include "core/file.h"

namespace tolvaren {

constexpr std::int64_t kEntryCountBytes = 4;
constexpr std::int64_t kNameFieldBytes = 100;
constexpr std::int64_t kNumberBytes = 4;
constexpr std::int64_t kRecordBytes = kNameFieldBytes + 2 * kNumberBytes;  // name, offset, size

inline constexpr char kVehicleListName[] = "Data\\Veh\\Vehicles.dat";

// A vehicle list is a few kilobytes of text. A directory record claiming more
// than this is damaged, and is not worth gigabytes of memory to read.
constexpr std::int32_t kMaxVehicleListBytes = 16 << 20;

// The directory is read through a buffer this large, so that a directory of
// many records costs a few platform calls instead of three per record.
constexpr std::size_t kDirectoryReadAheadBytes = 64 * 1024;

// 1-based file position of an entry's first byte; the data area starts after
// all `entryCount` records. Exact: never overflows for any 32-bit inputs.
constexpr std::int64_t EntryPosition(std::int32_t entryCount, std::int32_t offset) {
    const std::int64_t records = entryCount > 0 ? entryCount : 0;
    return kEntryCountBytes + kRecordBytes * records + offset + 1;
}

// A little-endian signed 32-bit number, as the archive stores its numbers.
std::int32_t Int32FromLittleEndian(const char* field);

// Where the vehicle list lies; filled by the scan, trusted by a rewrite.
struct ArchiveLocation {
    Text path;
    std::int32_t position = 0;  // 1-based file position of the first byte; 0 = not found
    std::int32_t size = 0;      // bytes as the directory record gives them; 0 = not found
};

// Done when `position` and `size` name bytes a rewrite may touch: inside the
// file's 32-bit range and no larger than a vehicle list can be; else why not.
Outcome LocationProblem(const ArchiveLocation& location);

// An archive opened for a switch: writable, or open for reading only, with
// why writing was refused, or beside another program that holds it (InUse).
struct OpenedArchive {
    std::unique_ptr<File> file;
    Outcome notWritable;  // Done when writable
};

enum class WhenInUse { Refuse, ReadShared };

// Read-write without sharing, else read-only without sharing; an existing
// disk file only. Empty paths and paths holding a zero byte are refused
// without any attempt (the platform refuses what else it cannot open as
// given). With ReadShared, an archive that another program holds is opened
// for reading beside it.
Result<OpenedArchive> OpenArchive(FileSystem& files, const Text& path,
                                  WhenInUse whenInUse = WhenInUse::Refuse);

// Reads up to `count` bytes: fewer only where the file ends; the missing
// bytes stay as the buffer had them.
Result<std::size_t> ReadPadded(File& file, char* buffer, std::size_t count);

// Seeks to a 1-based position; one below 1 is EntryDamaged.
Outcome SeekToPosition(File& file, std::int64_t position);

// Reads the directory of an open archive from its first byte and records in
// `location` where the first record named "Data\Veh\Vehicles.dat" puts its
// bytes. Done, or NoVehicleList, EntryTooLarge or EntryDamaged, or what
// stopped the directory's read; `location` changes only when the name is
// found.
Outcome FindVehicleList(File& archive, ArchiveLocation& location);

// Whether the archive at `path` names the vehicle list in its directory:
// read beside whoever has it open, and never written. A game's archive is
// told from others by this, where no install record names it; so that
// another game's large archive costs no more than a few reads, a directory
// that cannot fit in its file is not read, and reading stops at the first
// record that points outside the file.
bool NamesVehicleList(FileSystem& files, const Text& path);

// The vehicle list as a scan read it: its bytes (zero-padded where the file
// ends early) and what is wrong that still let them be read: EntryDamaged,
// or InUse (read beside the program that holds the archive).
struct VehicleListRead {
    Text bytes;
    Outcome problem;
};

// How a scan opens the archive: as a rewrite does, and beside another
// program only when one holds it (so that the scan learns of it), or, for
// a command that only reads, just for reading, beside others.
enum class ScanAccess { LikeARewrite, OnlyReading };

// Opens the archive at `path`, finds the vehicle list and reads it, as far
// as the file holds it. The list, or why none of it could be read.
Result<VehicleListRead> ReadVehicleList(FileSystem& files, const Text& path, ArchiveLocation& location,
                                        ScanAccess access = ScanAccess::LikeARewrite);

}  // namespace tolvaren
