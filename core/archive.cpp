#include "core/archive.h"

#include <cstring>
#include <optional>

namespace tolvaren {
namespace {

// A zero byte would end the path early on every platform: another file.
bool IsAcceptablePath(const Text& path) {
    return !path.empty() && path.find('\0') == Text::npos;
}

// A read-only open can help only when writing was refused for the file
// itself. One without sharing cannot succeed where another program holds
// the file, and on a pipe it could wait for ever.
bool ReadOnlyMayWork(Reason readWriteRefusal) {
    switch (readWriteRefusal) {
        case Reason::AccessDenied: case Reason::ReadOnlyFile: case Reason::NotElevated:
        case Reason::WriteProtected: case Reason::ReadOnlyDrive: case Reason::CannotOpen:
        case Reason::PlatformError: case Reason::ChangeRefused: case Reason::ShareNotWritable:
            return true;
        default:
            return false;
    }
}

Result<OpenedArchive> OpenForReading(FileSystem& files, const Text& path) {
    if (!IsAcceptablePath(path)) return Reason::CannotOpen;
    Result<std::unique_ptr<File>> opened = files.Open(path, FileAccess::SharedRead);
    if (!opened) return opened.Why();
    return OpenedArchive{std::move(*opened), Reason::Done};  // writing is not asked for
}

// The name ends at the field's first NUL byte, and the wanted name holds
// none: it matches exactly when its bytes are followed by a NUL.
bool NameFieldMatches(const char* field) {
    constexpr std::size_t kNameBytes = sizeof kVehicleListName - 1;
    return std::memcmp(field, kVehicleListName, kNameBytes) == 0 && field[kNameBytes] == '\0';
}

struct DirectoryRecord {
    bool isVehicleList;  // named "Data\Veh\Vehicles.dat"
    bool nameWhole;      // the file held its whole name field
    std::int32_t offset;
    std::int32_t size;
};

// Serves the directory front to back from a buffer filled by large reads of
// the file, so that a directory of many records costs a few platform calls.
// A record is read where it lies in the buffer: copying each 100-byte name
// out first made the scan of 100,000 records 2.5 times slower (1,782 against
// 700 µs, make bench).
class DirectoryReader {
public:
    explicit DirectoryReader(File& file) : file_(file) {}

    // Missing high-order bytes read as zero.
    std::int32_t ReadInt32() {
        char field[kNumberBytes];
        ReadAcrossRefills(field, sizeof field);
        return Int32FromLittleEndian(field);
    }

    // Bytes past the end of the file read as zero bytes.
    DirectoryRecord ReadRecord() {
        char spare[kRecordBytes];
        const char* record = buffer_ + next_;
        std::size_t present = kRecordBytes;
        if (end_ - next_ >= kRecordBytes) {
            next_ += kRecordBytes;  // whole in the buffer: read where it lies
        } else {
            present = ReadAcrossRefills(spare, sizeof spare);
            record = spare;
        }
        return {NameFieldMatches(record), present >= kNameFieldBytes,
                Int32FromLittleEndian(record + kNameFieldBytes),
                Int32FromLittleEndian(record + kNameFieldBytes + kNumberBytes)};
    }

    // Done, or why a read of the file failed (the bytes then read as zero).
    const Outcome& Failure() const { return failure_; }

private:
    // Copies the next `count` bytes, zero past the end of the file; returns
    // how many the file held.
    std::size_t ReadAcrossRefills(char* field, std::size_t count) {
        std::size_t got = 0;
        while (got < count && (next_ < end_ || Refill())) {
            const std::size_t served = count - got < end_ - next_ ? count - got : end_ - next_;
            std::memcpy(field + got, buffer_ + next_, served);
            next_ += served;
            got += served;
        }
        std::memset(field + got, 0, count - got);
        return got;
    }

    bool Refill() {
        next_ = end_ = 0;
        if (!failure_.Done()) return false;
        Result<std::size_t> got = file_.Read(buffer_, sizeof buffer_);
        if (!got) failure_ = got.Why();
        end_ = got ? *got : 0;
        return end_ > 0;
    }

    File& file_;
    char buffer_[kDirectoryReadAheadBytes];
    std::size_t next_ = 0;  // first unread byte in buffer_
    std::size_t end_ = 0;   // bytes held in buffer_
    Outcome failure_;
};

constexpr std::int64_t kAnySize = -1;

// Whether `record` points outside a file of `fileSize` bytes.
bool PointsOutside(const DirectoryRecord& record, std::int32_t entryCount, std::int64_t fileSize) {
    const std::int64_t end = EntryPosition(entryCount, record.offset) - 1 + record.size;
    return record.offset < 0 || record.size < 0 || end > fileSize;
}

// The vehicle list's record among the `entryCount` that follow. Reading
// stops at a record the end of the file cut short (every later one would
// read as zero bytes) and, given the file's size, at the first record that
// points outside it: a file of another format.
std::optional<DirectoryRecord> VehicleListRecord(DirectoryReader& directory, std::int32_t entryCount,
                                                 std::int64_t fileSize) {
    for (std::int32_t i = 0; i < entryCount; ++i) {
        const DirectoryRecord record = directory.ReadRecord();
        if (record.isVehicleList) return record;
        if (!record.nameWhole) break;
        if (fileSize != kAnySize && PointsOutside(record, entryCount, fileSize)) break;
    }
    return std::nullopt;
}

// An entry that starts inside the entry count or the directory (a negative
// offset) or beyond what a 32-bit position holds: its directory is damaged.
bool EntryStartIsDamaged(std::int32_t offset, std::int64_t position) {
    return offset < 0 || position > INT32_MAX;
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

// The entry's bytes, as far as its position lies in the file, zero-padded
// to its size; empty when its position or size cannot be read at all.
Result<VehicleListRead> ReadEntry(File& file, const ArchiveLocation& location, Outcome problem) {
    // The bytes of an entry that starts inside the directory are still read.
    if (Outcome unusable = LocationProblem(location); !unusable.Done()) return problem.Done() ? unusable : problem;
    if (Outcome sought = SeekToPosition(file, location.position); !sought.Done()) return sought;
    VehicleListRead list{Text(), std::move(problem)};
    if (!list.bytes.TryResize(static_cast<std::size_t>(location.size))) return Reason::OutOfMemory;
    // A read the platform stopped says nothing about the archive.
    const Result<std::size_t> got = ReadPadded(file, list.bytes.data(), list.bytes.size());
    if (!got) return got.Why();
    if (*got == 0) return list.problem.Done() ? Reason::EntryDamaged : list.problem;
    // An entry that runs past the end of the file is damaged.
    if (list.problem.Done() && *got < list.bytes.size()) list.problem = Reason::EntryDamaged;
    return list;
}

}  // namespace

std::int32_t Int32FromLittleEndian(const char* field) {
    const auto byte = [&field](int i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(field[i]));
    };
    const std::uint32_t value = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
    return static_cast<std::int32_t>(value);  // two's complement, as C++20 defines
}

Outcome LocationProblem(const ArchiveLocation& location) {
    if (location.size == 0) return Reason::NoVehicleList;  // never found, or an empty entry
    if (location.size > kMaxVehicleListBytes) return Reason::EntryTooLarge;
    if (location.size < 0 || location.position < 1) return Reason::EntryDamaged;
    return Reason::Done;
}

Result<OpenedArchive> OpenArchive(FileSystem& files, const Text& path, WhenInUse whenInUse) {
    if (!IsAcceptablePath(path)) return Reason::CannotOpen;
    Result<std::unique_ptr<File>> readWrite = files.Open(path, FileAccess::ReadWrite);
    if (readWrite) return OpenedArchive{std::move(*readWrite), Reason::Done};
    Outcome refused = readWrite.Why();
    if (ReadOnlyMayWork(refused.reason)) {
        Result<std::unique_ptr<File>> readOnly = files.Open(path, FileAccess::ReadOnly);
        // Opened, or refused for another reason: the read-write refusal says
        // why it is not writable. Held by another program: that is why.
        if (readOnly) return OpenedArchive{std::move(*readOnly), std::move(refused)};
        if (readOnly.Why().reason == Reason::InUse) refused = readOnly.Why();
    }
    if (refused.reason != Reason::InUse || whenInUse != WhenInUse::ReadShared) return refused;
    Result<std::unique_ptr<File>> beside = files.Open(path, FileAccess::SharedRead);
    if (!beside) return refused;
    return OpenedArchive{std::move(*beside), std::move(refused)};
}

Result<std::size_t> ReadPadded(File& file, char* buffer, std::size_t count) {
    std::size_t total = 0;
    while (total < count) {
        const Result<std::size_t> got = file.Read(buffer + total, count - total);
        if (!got) return got.Why();
        if (*got == 0) break;
        total += *got;
    }
    return total;
}

Outcome SeekToPosition(File& file, std::int64_t position) {
    if (position < 1) return Reason::EntryDamaged;
    return file.Seek(position - 1);
}

Outcome FindVehicleList(File& archive, ArchiveLocation& location) {
    DirectoryReader directory(archive);
    const std::int32_t entryCount = directory.ReadInt32();
    if (const std::optional<DirectoryRecord> record = VehicleListRecord(directory, entryCount, kAnySize))
        return RecordMatch(entryCount, record->offset, record->size, location);
    // A directory cut short by a failed read may still hold the name.
    if (!directory.Failure().Done()) return directory.Failure();
    return Reason::NoVehicleList;
}

bool NamesVehicleList(FileSystem& files, const Text& path) {
    const Result<std::unique_ptr<File>> archive = files.Open(path, FileAccess::SharedRead);
    if (!archive) return false;
    const Result<std::int64_t> fileSize = (*archive)->Size();
    if (!fileSize) return false;
    DirectoryReader directory(**archive);
    const std::int32_t entryCount = directory.ReadInt32();
    // A file of another format can claim any count: one whose directory
    // cannot fit in it is not read at all.
    if (EntryPosition(entryCount, 0) - 1 > *fileSize) return false;
    const std::optional<DirectoryRecord> record = VehicleListRecord(directory, entryCount, *fileSize);
    if (!record) return false;
    ArchiveLocation location{path};
    const Reason found = RecordMatch(entryCount, record->offset, record->size, location).reason;
    return found == Reason::Done || found == Reason::EntryTooLarge || found == Reason::EntryDamaged;
}

Result<VehicleListRead> ReadVehicleList(FileSystem& files, const Text& path, ArchiveLocation& location,
                                        ScanAccess access) {
    Result<OpenedArchive> archive = access == ScanAccess::OnlyReading
                                        ? OpenForReading(files, path)
                                        : OpenArchive(files, path, WhenInUse::ReadShared);
    if (!archive) return archive.Why();
    Outcome found = FindVehicleList(*archive->file, location);
    if (found.reason == Reason::NoVehicleList || (!found.Done() && location.size == 0)) return found;
    Result<VehicleListRead> list = ReadEntry(*archive->file, location, std::move(found));
    // A list that cannot be switched is the lasting problem; else the holder.
    if (list && list->problem.Done() && archive->notWritable.reason == Reason::InUse)
        list->problem = archive->notWritable;
    return list;
}

}  // namespace tolvaren
