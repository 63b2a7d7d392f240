#include "core/archive.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

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
        case Reason::PlatformError:
            return true;
        default:
            return false;
    }
}

OpenedArchive OpenForReading(FileSystem& files, const Text& path) {
    if (!IsAcceptablePath(path)) return {nullptr, false, Reason::CannotOpen};
    OpenedFile opened = files.Open(path, FileAccess::SharedRead);
    return {std::move(opened.file), false, std::move(opened.outcome)};
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
    explicit DirectoryReader(File& file) : file_(file), buffer_(kDirectoryReadAheadBytes) {}

    // Missing high-order bytes read as zero.
    std::int32_t ReadInt32() {
        char field[kNumberBytes];
        ReadAcrossRefills(field, sizeof field);
        return Int32FromLittleEndian(field);
    }

    // Bytes past the end of the file read as zero bytes.
    DirectoryRecord ReadRecord() {
        char spare[kRecordBytes];
        const char* record = buffer_.data() + next_;
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

private:
    // Copies the next `count` bytes, zero past the end of the file; returns
    // how many the file held.
    std::size_t ReadAcrossRefills(char* field, std::size_t count) {
        std::size_t got = 0;
        while (got < count && (next_ < end_ || Refill())) {
            const std::size_t served = std::min(count - got, end_ - next_);
            std::memcpy(field + got, buffer_.data() + next_, served);
            next_ += served;
            got += served;
        }
        std::memset(field + got, 0, count - got);
        return got;
    }

    bool Refill() {
        next_ = 0;
        end_ = file_.Read(buffer_.data(), buffer_.size());
        return end_ > 0;
    }

    File& file_;
    std::vector<char> buffer_;
    std::size_t next_ = 0;  // first unread byte in buffer_
    std::size_t end_ = 0;   // bytes held in buffer_
};

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

// A buffer of `size` zero bytes, or false when none that large can be had.
bool TryZeroFill(Text& buffer, std::int32_t size) noexcept {
    try {
        buffer.assign(static_cast<std::size_t>(size), '\0');
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {  // beyond what the string type can hold
    }
    return false;
}

// The entry's bytes, as far as its position lies in the file; `got` tells
// how many the file held.
Outcome ReadEntry(File& file, const ArchiveLocation& location, Text& entry, std::size_t& got) {
    got = 0;
    // The bytes of an entry that starts inside the directory are still read.
    if (!LocationProblem(location).Done() || !SeekToPosition(file, location.position))
        return Reason::Done;
    if (!TryZeroFill(entry, location.size)) return Reason::OutOfMemory;
    got = ReadPadded(file, entry.data(), entry.size());
    // A read the platform stopped says nothing about the archive.
    if (got < entry.size() && !file.WhyStopped().Done()) return file.WhyStopped();
    return Reason::Done;
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

OpenedArchive OpenArchive(FileSystem& files, const Text& path, WhenInUse whenInUse) {
    OpenedArchive opened;
    if (!IsAcceptablePath(path)) {
        opened.outcome = Reason::CannotOpen;
        return opened;
    }
    OpenedFile readWrite = files.Open(path, FileAccess::ReadWrite);
    opened.file = std::move(readWrite.file);
    opened.outcome = std::move(readWrite.outcome);
    opened.writable = opened.file != nullptr;
    if (!opened.file && ReadOnlyMayWork(opened.outcome.reason)) {
        OpenedFile readOnly = files.Open(path, FileAccess::ReadOnly);
        opened.file = std::move(readOnly.file);
        // Opened, or refused for another reason: the read-write refusal says
        // why it is not writable. Held by another program: that is why.
        if (!opened.file && readOnly.outcome.reason == Reason::InUse)
            opened.outcome = std::move(readOnly.outcome);
    }
    if (!opened.file && opened.outcome.reason == Reason::InUse &&
        whenInUse == WhenInUse::ReadShared)
        opened.file = files.Open(path, FileAccess::SharedRead).file;
    return opened;
}

std::size_t ReadPadded(File& file, char* buffer, std::size_t count) {
    std::size_t total = 0;
    while (total < count) {
        const std::size_t got = file.Read(buffer + total, count - total);
        if (got == 0) break;
        total += got;
    }
    return total;
}

bool SeekToPosition(File& file, std::int64_t position) {
    return position >= 1 && file.Seek(position - 1);
}

Outcome ReadFellShort(const File& file) {
    Outcome why = file.WhyStopped();
    return why.Done() ? Reason::EntryDamaged : why;
}

Outcome FindVehicleList(File& archive, ArchiveLocation& location) {
    DirectoryReader directory(archive);
    const std::int32_t entryCount = directory.ReadInt32();
    for (std::int32_t i = 0; i < entryCount; ++i) {
        const DirectoryRecord record = directory.ReadRecord();
        if (record.isVehicleList) return RecordMatch(entryCount, record.offset, record.size, location);
        // Every later record lies wholly past the end: empty names, no match.
        if (!record.nameWhole) break;
    }
    // A directory cut short by a failed read may still hold the name.
    Outcome why = archive.WhyStopped();
    return why.Done() ? Reason::NoVehicleList : why;
}

bool NamesVehicleList(FileSystem& files, const Text& path) {
    const OpenedFile archive = files.Open(path, FileAccess::SharedRead);
    if (!archive.file) return false;
    const std::int64_t fileSize = archive.file->Size();
    DirectoryReader directory(*archive.file);
    const std::int32_t entryCount = directory.ReadInt32();
    // A file of another format can claim any count: one whose directory
    // cannot fit in it is not read at all, and reading stops at the first
    // record that points outside the file.
    if (fileSize >= 0 && EntryPosition(entryCount, 0) - 1 > fileSize) return false;
    for (std::int32_t i = 0; i < entryCount; ++i) {
        const DirectoryRecord record = directory.ReadRecord();
        if (record.isVehicleList) {
            ArchiveLocation location{path};
            const Reason found = RecordMatch(entryCount, record.offset, record.size, location).reason;
            return found == Reason::Done || found == Reason::EntryTooLarge || found == Reason::EntryDamaged;
        }
        const std::int64_t end = EntryPosition(entryCount, record.offset) - 1 + record.size;
        if (record.offset < 0 || record.size < 0 || (fileSize >= 0 && end > fileSize)) return false;
    }
    return false;
}

ScanResult ReadVehicleList(FileSystem& files, const Text& path, ArchiveLocation& location,
                           ScanAccess access) {
    const OpenedArchive archive = access == ScanAccess::OnlyReading
                                      ? OpenForReading(files, path)
                                      : OpenArchive(files, path, WhenInUse::ReadShared);
    if (!archive.file) return {Text(), false, archive.outcome};
    ScanResult scan{Text(), false, FindVehicleList(*archive.file, location)};
    if (scan.outcome.reason == Reason::NoVehicleList) return scan;  // nothing to read
    std::size_t got = 0;
    const Outcome read = ReadEntry(*archive.file, location, scan.vehicleList, got);
    if (!read.Done()) return {Text(), false, read};
    scan.listRead = got > 0;
    // An entry that runs past the end of the file is damaged.
    if (scan.outcome.Done() && got < static_cast<std::size_t>(location.size))
        scan.outcome = Reason::EntryDamaged;
    // A list that cannot be switched is the lasting problem; else the holder.
    if (scan.outcome.Done() && archive.outcome.reason == Reason::InUse) scan.outcome = archive.outcome;
    return scan;
}

}  // namespace tolvaren
