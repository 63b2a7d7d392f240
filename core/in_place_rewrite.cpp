#include "core/in_place_rewrite.h"

#include <memory>
#include <new>
#include <vector>

#include "core/reason_texts.h"
#include "core/vehicle_list.h"

namespace tolvaren {
namespace {

// Turned bytes closer than this share one write. A gap shorter than a page
// holds no whole page, so the pages written are those that change, in a few
// calls instead of one a byte.
constexpr std::size_t kSharedWriteGap = 4096;

// Bytes [first, end) of the entry.
struct Span {
    std::size_t first;
    std::size_t end;
};

// Adds the byte at `position`, past those `spans` hold, to them.
void AddToSpans(std::vector<Span>& spans, std::size_t position) {
    if (!spans.empty() && position - spans.back().end < kSharedWriteGap)
        spans.back().end = position + 1;
    else
        spans.push_back({position, position + 1});
}

// Enabling turns the ";" of every marker, so only a disable can fall short:
// a list without a prefixed "[Team KTM]" would still read as enabled.
bool ReadsAs(std::int32_t requestedState, std::string_view vehicleList) {
    return requestedState != 0 || StateOfVehicleList(vehicleList) == 0;
}

// What stopped a write, in a few words; empty when the platform did not
// say, and the texts name the likeliest cause.
Text WriteCause(const Outcome& why) { return why.Done() ? Text() : ReasonLabel(why); }

// Writes the turned bytes of a switched entry back to the file, the state
// marker's last, and puts back whatever it reached when a step fails. All
// it allocates, it allocates before the first write.
class TurnedBytesWriter {
public:
    TurnedBytesWriter(File& file, std::int32_t entryPosition, char* entry, std::size_t size,
                      const TurnedBytes& turned)
        : file_(file), entryPosition_(entryPosition), entry_(entry), turned_(turned) {
        const std::string_view switched(entry, size);
        for (const std::size_t position : turned.positions) {
            const bool marker = PrefixesStateMarker(switched, position);
            if (marker) markers_.push_back(position);
            AddToSpans(marker ? markerSpans_ : otherSpans_, position);
        }
        reached_.reserve(otherSpans_.size() + markerSpans_.size());
    }

    // Until the marker turns, the list reads as the state it had. Each
    // phase first makes sure no other program got in meanwhile: a write
    // stalled past a lease's end (a stopped process, a hanging disk) must
    // not overwrite what that program did, nor lengthen a file it cut.
    Outcome Write() {
        const char after = entry_[turned_.positions.front()];
        for (const std::size_t position : markers_) entry_[position] = turned_.before;
        if (!WriteSpans(otherSpans_) || !file_.Flush()) return PutBack(Reason::SwitchStopped);
        if (Outcome moved = file_.Unchanged(); !moved.Done()) return Interrupted(moved, Reason::SwitchStopped);
        for (const std::size_t position : markers_) entry_[position] = after;
        if (!WriteSpans(markerSpans_) || !file_.Flush()) return PutBack(Reason::WriteFailedNotPutBack);
        if (Outcome moved = file_.Unchanged(); !moved.Done())
            return Interrupted(moved, Reason::OpenedDuringLastWrite);
        return Reason::Done;
    }

private:
    // Who got in, told as what the switch came to by then.
    static Outcome Interrupted(Outcome moved, Reason soFar) {
        if (moved.reason == Reason::ArchiveReplaced) return moved;
        return {soFar, std::move(moved.detail)};
    }

    bool WriteSpans(const std::vector<Span>& spans) {
        for (const Span& span : spans) {
            const std::size_t size = span.end - span.first;
            const std::size_t written = WriteAt(span.first, size);
            if (written > 0) reached_.push_back({span.first, span.first + written});
            if (written != size) return false;
        }
        return true;
    }

    // Newest first, so that the marker's bytes go back before the others.
    // The cause is asked after: only a failure changes it. Nothing is put
    // back once another program got in: that would undo what it wrote.
    Outcome PutBack(Reason ifAnotherGotIn) {
        if (Outcome moved = file_.Unchanged(); !moved.Done()) return Interrupted(moved, ifAnotherGotIn);
        for (const std::size_t position : turned_.positions) entry_[position] = turned_.before;
        bool putBack = true;
        for (auto span = reached_.rbegin(); span != reached_.rend() && putBack; ++span)
            putBack = WriteAt(span->first, span->end - span->first) == span->end - span->first;
        putBack = putBack && file_.Flush();
        Outcome failed(putBack ? Reason::WriteFailedPutBack : Reason::WriteFailedNotPutBack);
        try {
            failed.detail = WriteCause(file_.WhyStopped());
        } catch (const std::bad_alloc&) {  // the reason without its cause, rather than a wrong one
        }
        return failed;
    }

    // Bytes written: all of them, or as many as went before a failure.
    std::size_t WriteAt(std::size_t first, std::size_t size) {
        return SeekToPosition(file_, entryPosition_ + static_cast<std::int64_t>(first))
                   ? file_.Write(entry_ + first, size)
                   : 0;
    }

    File& file_;
    const std::int32_t entryPosition_;
    char* const entry_;
    const TurnedBytes& turned_;
    std::vector<std::size_t> markers_;
    std::vector<Span> otherSpans_, markerSpans_;
    std::vector<Span> reached_;  // in the order written
};

Outcome RewriteOpened(File& file, const ArchiveLocation& location, std::int32_t requestedState) {
    const auto size = static_cast<std::size_t>(location.size);
    // Every byte is read before use (a short read ends the rewrite), so the
    // buffer needs no zero fill.
    const std::unique_ptr<char[]> buffer(new (std::nothrow) char[size]);
    if (!buffer) return Reason::OutOfMemory;
    if (!SeekToPosition(file, location.position)) return Reason::EntryDamaged;
    if (ReadPadded(file, buffer.get(), size) != size) return ReadFellShort(file);

    try {
        const TurnedBytes turned = SwitchVehicleKeysInPlace(buffer.get(), size, requestedState);
        if (!ReadsAs(requestedState, std::string_view(buffer.get(), size))) return Reason::CannotDisable;
        if (turned.positions.empty()) return Reason::Done;  // already as requested
        if (Outcome moved = file.Unchanged(); !moved.Done()) return moved;
        return TurnedBytesWriter(file, location.position, buffer.get(), size, turned).Write();
    } catch (const std::bad_alloc&) {  // only ever before the first write
        return Reason::OutOfMemory;
    }
}

}  // namespace

Result<Switched> RewriteVehicleList(FileSystem& files, ArchiveLocation& location,
                                    const std::int32_t& requestedState) {
    const std::int32_t state = requestedState;
    const OpenedArchive archive = OpenArchive(files, location.path);
    if (!archive.file) return archive.outcome;
    location = ArchiveLocation{location.path};
    if (Outcome found = FindVehicleList(*archive.file, location); !found.Done()) return found;
    if (!archive.writable) return archive.outcome;
    if (Outcome outcome = RewriteOpened(*archive.file, location, state); !outcome.Done()) return outcome;
    return Switched{archive.file->Caveat()};
}

}  // namespace tolvaren
