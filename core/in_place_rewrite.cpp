#include "core/in_place_rewrite.h"

#include <cstring>

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

// Adds the byte at `position`, past those `spans` hold, to them; the room
// is there already.
void AddToSpans(List<Span>& spans, std::size_t position) {
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

// Writes the turned bytes of a switched entry back to the file, the state
// marker's last, and puts back whatever it reached when a step fails. All
// it allocates, it allocates in Prepare, before the first write.
class TurnedBytesWriter {
public:
    TurnedBytesWriter(File& file, std::int32_t entryPosition, char* entry, std::size_t size,
                      const TurnedBytes& turned)
        : file_(file), entryPosition_(entryPosition), entry_(entry), size_(size), turned_(turned) {}

    // OutOfMemory when there is no room to note the spans.
    Outcome Prepare() {
        const std::size_t most = turned_.positions.size();
        if (!markers_.TryReserve(most) || !otherSpans_.TryReserve(most) || !markerSpans_.TryReserve(most) ||
            !reached_.TryReserve(most))
            return Reason::OutOfMemory;
        const std::string_view switched(entry_, size_);
        for (const std::size_t position : turned_.positions) {
            const bool marker = PrefixesStateMarker(switched, position);
            if (marker) markers_.push_back(position);
            AddToSpans(marker ? markerSpans_ : otherSpans_, position);
        }
        return Reason::Done;
    }

    // Until the marker turns, the list reads as the state it had. Each
    // phase first makes sure no other program got in meanwhile: a write
    // stalled past a lease's end (a stopped process, a hanging disk) must
    // not overwrite what that program did, nor lengthen a file it cut.
    Outcome Write() {
        const char after = entry_[turned_.positions.front()];
        for (const std::size_t position : markers_) entry_[position] = turned_.before;
        if (!WriteSpans(otherSpans_) || !Flushed()) return PutBack(Reason::SwitchStopped);
        if (Outcome moved = file_.Unchanged(); !moved.Done()) return Interrupted(moved, Reason::SwitchStopped);
        for (const std::size_t position : markers_) entry_[position] = after;
        if (!WriteSpans(markerSpans_) || !Flushed()) return PutBack(Reason::WriteFailedNotPutBack);
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

    bool WriteSpans(const List<Span>& spans) {
        for (const Span& span : spans) {
            const std::size_t size = span.end - span.first;
            const std::size_t written = WriteAt(span.first, size);
            if (written > 0) reached_.push_back({span.first, span.first + written});
            if (written != size) return false;
        }
        return true;
    }

    bool Flushed() { return Succeeded(file_.Flush()); }

    // Newest first, so that the marker's bytes go back before the others.
    // Nothing is put back once another program got in: that would undo
    // what it wrote. Before the marker's phase the list still reads as it
    // did; in it, the write that failed is what there is to say.
    Outcome PutBack(Reason ifAnotherGotIn) {
        if (Outcome moved = file_.Unchanged(); !moved.Done()) {
            if (ifAnotherGotIn == Reason::SwitchStopped) return Interrupted(moved, Reason::SwitchStopped);
            return Failed(Reason::WriteFailedNotPutBack);
        }
        for (const std::size_t position : turned_.positions) entry_[position] = turned_.before;
        bool putBack = true;
        for (std::size_t i = reached_.size(); i > 0 && putBack; --i) {
            const Span& span = reached_[i - 1];
            putBack = WriteAt(span.first, span.end - span.first) == span.end - span.first;
        }
        putBack = putBack && Flushed();
        return Failed(putBack ? Reason::WriteFailedPutBack : Reason::WriteFailedNotPutBack);
    }

    // With what stopped the write.
    Outcome Failed(Reason how) const {
        Outcome failed(how, stopped_.detail);
        failed.cause = stopped_.reason;
        return failed;
    }

    // Bytes written: all of them, or as many as went before a failure.
    std::size_t WriteAt(std::size_t first, std::size_t size) {
        if (!Succeeded(SeekToPosition(file_, entryPosition_ + static_cast<std::int64_t>(first))))
            return 0;
        std::size_t written = 0;
        while (written < size) {
            const Result<std::size_t> put = file_.Write(entry_ + first + written, size - written);
            if (!Succeeded(put.Why()) || *put == 0) break;
            written += *put;
        }
        return written;
    }

    // Keeps what stopped the write, the last failure counting.
    bool Succeeded(const Outcome& step) {
        if (!step.Done()) stopped_ = step;
        return step.Done();
    }

    File& file_;
    const std::int32_t entryPosition_;
    char* const entry_;
    const std::size_t size_;
    const TurnedBytes& turned_;
    List<std::size_t> markers_;
    List<Span> otherSpans_, markerSpans_;
    List<Span> reached_;  // in the order written
    Outcome stopped_;
};

// Reads the entry, switches it and writes back what changed. Everything it
// needs is allocated before the first write, so memory that cannot be had
// leaves the archive as it was; after it, only the platform's words for a
// failure are asked for, and go unsaid without memory.
Outcome RewriteOpened(File& file, const ArchiveLocation& location, std::int32_t requestedState) {
    const auto size = static_cast<std::size_t>(location.size);
    Text entry;
    if (!entry.TryResize(size)) return Reason::OutOfMemory;
    if (Outcome sought = SeekToPosition(file, location.position); !sought.Done()) return sought;
    const Result<std::size_t> got = ReadPadded(file, entry.data(), size);
    if (!got) return got.Why();
    if (*got != size) return Reason::EntryDamaged;  // the file ends inside the entry

    const Result<TurnedBytes> turned = SwitchVehicleKeysInPlace(entry.data(), size, requestedState);
    if (!turned) return turned.Why();
    if (!ReadsAs(requestedState, entry)) return Reason::CannotDisable;
    if (turned->positions.empty()) return Reason::Done;  // already as requested
    TurnedBytesWriter writer(file, location.position, entry.data(), size, *turned);
    if (Outcome prepared = writer.Prepare(); !prepared.Done()) return prepared;
    if (Outcome moved = file.Unchanged(); !moved.Done()) return moved;
    return writer.Write();
}

}  // namespace

Result<Switched> RewriteVehicleList(FileSystem& files, ArchiveLocation& location,
                                    const std::int32_t& requestedState) {
    const std::int32_t state = requestedState;
    const Result<OpenedArchive> archive = OpenArchive(files, location.path);
    if (!archive) return archive.Why();
    location = ArchiveLocation{location.path};
    if (Outcome found = FindVehicleList(*archive->file, location); !found.Done()) return found;
    if (!archive->notWritable.Done()) return archive->notWritable;
    if (Outcome outcome = RewriteOpened(*archive->file, location, state); !outcome.Done()) return outcome;
    return Switched{archive->file->Caveat()};
}

}  // namespace tolvaren
