#include "core/in_place_rewrite.h"

#include <memory>
#include <new>

#include "core/archive_access.h"

namespace tolvaren {
namespace {

// Bytes written at `position`: all of them, or as many as went before a failure.
std::size_t WriteAt(File& file, std::int32_t position, const char* bytes, std::size_t size) {
    return SeekToPosition(file, position) ? file.Write(bytes, size) : 0;
}

}  // namespace

Outcome RewriteInPlace(File& file, const ArchiveLocation& location,
                       const Transformation& transform) {
    if (const Reason problem = LocationProblem(location); problem != Reason::Done) return problem;
    const auto size = static_cast<std::size_t>(location.size);
    // Every byte is read before use (a short read ends the rewrite), so the
    // buffer needs no zero fill.
    const std::unique_ptr<char[]> buffer(new (std::nothrow) char[size]);
    if (!buffer) return Reason::EntryTooLarge;
    // The directory promises these bytes; a file that ends first is damaged.
    if (!SeekToPosition(file, location.position) || ReadPadded(file, buffer.get(), size) != size)
        return Reason::EntryDamaged;

    TurnedBytes turned;
    Reason refusal;
    try {
        refusal = transform(buffer.get(), size, turned);
    } catch (const std::bad_alloc&) {
        return Reason::EntryTooLarge;  // no room to record the change
    }
    if (refusal != Reason::Done) return refusal;
    const std::size_t written = WriteAt(file, location.position, buffer.get(), size);
    if (written == size) return Reason::Done;
    // Puts back the bytes the failed write reached.
    turned.Undo(buffer.get());
    return WriteAt(file, location.position, buffer.get(), written) == written
               ? Reason::WriteFailedPutBack
               : Reason::WriteFailedNotPutBack;
}

Outcome RewriteInPlace(FileSystem& files, const ArchiveLocation& location,
                       const Transformation& transform) {
    if (const Reason problem = LocationProblem(location); problem != Reason::Done) return problem;
    const OpenedArchive archive = OpenArchive(files, location.path);
    if (!archive.file || !archive.writable) return archive.problem;
    return RewriteInPlace(*archive.file, location, transform);
}

}  // namespace tolvaren
