#include "core/in_place_rewrite.h"

#include <memory>
#include <new>

#include "core/archive_access.h"

namespace tolvaren {
namespace {

bool WriteAt(File& file, std::int32_t position, std::string_view bytes) {
    return SeekToPosition(file, position) &&
           file.Write(bytes.data(), bytes.size()) == bytes.size();
}

}  // namespace

PatchOutcome RewriteInPlace(FileSystem& files, const ArchiveLocation& location,
                            const Transformation& transform) {
    if (!HoldsVehicleList(location)) return PatchOutcome::NoVehicleList;
    const auto size = static_cast<std::size_t>(location.size);
    // Every byte is read before use (a short read ends the rewrite), so the
    // buffer needs no zero fill.
    const std::unique_ptr<char[]> buffer(new (std::nothrow) char[size]);
    if (!buffer) return PatchOutcome::NoVehicleList;
    const std::string_view entry(buffer.get(), size);

    const OpenedArchive archive = OpenArchive(files, location.path);
    if (!archive.file || !archive.writable) return PatchOutcome::NotWritable;
    File& file = *archive.file;
    // A short read means the file no longer holds the whole entry.
    if (!SeekToPosition(file, location.position) || ReadPadded(file, buffer.get(), size) != size)
        return PatchOutcome::NotWritable;

    TurnedBytes turned;
    try {
        turned = transform(buffer.get(), size);
    } catch (const std::bad_alloc&) {
        return PatchOutcome::NoVehicleList;  // no room to record the change
    }
    if (WriteAt(file, location.position, entry)) return PatchOutcome::Written;
    // A write that stopped short may have changed a prefix: put it back.
    turned.Undo(buffer.get());
    WriteAt(file, location.position, entry);
    return PatchOutcome::NotWritable;
}

}  // namespace tolvaren
