#include "core/in_place_rewrite.h"

#include <memory>
#include <new>

#include "core/reason_texts.h"
#include "core/vehicle_list.h"

namespace tolvaren {
namespace {

// Bytes written at `position`: all of them, or as many as went before a failure.
std::size_t WriteAt(File& file, std::int32_t position, const char* bytes, std::size_t size) {
    return SeekToPosition(file, position) ? file.Write(bytes, size) : 0;
}

// Enabling turns the ";" of every marker, so only a disable can fall short:
// a list without a prefixed "[Team KTM]" would still read as enabled.
bool ReadsAs(std::int32_t requestedState, std::string_view vehicleList) {
    return requestedState != 0 || StateOfVehicleList(vehicleList) == 0;
}

// What stopped a write, in a few words; empty when the platform did not
// say, and the texts name the likeliest cause.
Text WriteCause(const Outcome& why) { return why.Done() ? Text() : ReasonLabel(why); }

Outcome RewriteOpened(File& file, const ArchiveLocation& location, std::int32_t requestedState) {
    if (Outcome problem = LocationProblem(location); !problem.Done()) return problem;
    const auto size = static_cast<std::size_t>(location.size);
    // Every byte is read before use (a short read ends the rewrite), so the
    // buffer needs no zero fill.
    const std::unique_ptr<char[]> buffer(new (std::nothrow) char[size]);
    if (!buffer) return Reason::OutOfMemory;
    // The directory promises these bytes; a file that ends first is damaged.
    if (!SeekToPosition(file, location.position) || ReadPadded(file, buffer.get(), size) != size)
        return Reason::EntryDamaged;

    TurnedBytes turned;
    try {
        turned = SwitchVehicleKeysInPlace(buffer.get(), size, requestedState);
    } catch (const std::bad_alloc&) {  // no room to note what it turned
        return Reason::OutOfMemory;
    }
    if (!ReadsAs(requestedState, std::string_view(buffer.get(), size))) return Reason::CannotDisable;
    const std::size_t written = WriteAt(file, location.position, buffer.get(), size);
    if (written == size) return Reason::Done;
    const Text cause = WriteCause(file.WhyStopped());
    // Puts back the bytes the failed write reached.
    for (const std::size_t position : turned.positions)
        if (position < written) buffer[position] = turned.before;
    const bool putBack = WriteAt(file, location.position, buffer.get(), written) == written;
    return {putBack ? Reason::WriteFailedPutBack : Reason::WriteFailedNotPutBack, cause};
}

}  // namespace

Outcome RewriteVehicleList(FileSystem& files, const ArchiveLocation& location,
                           const std::int32_t& requestedState) {
    const std::int32_t state = requestedState;
    if (Outcome problem = LocationProblem(location); !problem.Done()) return problem;
    const OpenedArchive archive = OpenArchive(files, location.path);
    if (!archive.file || !archive.writable) return archive.outcome;
    return RewriteOpened(*archive.file, location, state);
}

Outcome SwitchArchive(FileSystem& files, const Text& path, std::int32_t requestedState) {
    const OpenedArchive archive = OpenArchive(files, path);
    if (!archive.file) return archive.outcome;
    ArchiveLocation location{path};
    if (Outcome found = FindVehicleList(*archive.file, location); !found.Done()) return found;
    if (!archive.writable) return archive.outcome;
    return RewriteOpened(*archive.file, location, requestedState);
}

}  // namespace tolvaren
