#include "core/archive_access.h"

#include <new>
#include <stdexcept>

namespace tolvaren {
namespace {

bool IsAcceptablePath(const Text& path) {
    return !path.empty() && path.size() <= kMaxArchivePathBytes &&
           path.find_first_of(Text("*?\0", 3)) == Text::npos;
}

// A read-only open can help only when writing was refused for the file
// itself. One without sharing cannot succeed where another program holds
// the file, and on a pipe it could wait for ever.
bool ReadOnlyMayWork(Reason readWriteRefusal) {
    return readWriteRefusal == Reason::AccessDenied || readWriteRefusal == Reason::CannotOpen;
}

}  // namespace

OpenedArchive OpenArchive(FileSystem& files, const Text& path, WhenInUse whenInUse) {
    OpenedArchive opened;
    if (!IsAcceptablePath(path)) {
        opened.problem = Reason::CannotOpen;
        return opened;
    }
    opened.file = files.Open(path, FileAccess::ReadWrite, opened.problem);
    opened.writable = opened.file != nullptr;
    if (!opened.file && ReadOnlyMayWork(opened.problem.reason)) {
        Outcome readOnlyProblem;
        opened.file = files.Open(path, FileAccess::ReadOnly, readOnlyProblem);
        // Opened: the read-write refusal says why it is not writable.
        if (!opened.file) opened.problem = std::move(readOnlyProblem);
    }
    if (!opened.file && opened.problem.reason == Reason::InUse &&
        whenInUse == WhenInUse::ReadShared) {
        Outcome ignored;
        opened.file = files.Open(path, FileAccess::SharedRead, ignored);
    }
    return opened;
}

bool TryZeroFill(Text& buffer, std::int32_t size) noexcept {
    try {
        buffer.assign(static_cast<std::size_t>(size), '\0');
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {  // beyond what the string type can hold
    }
    return false;
}

bool SeekToPosition(File& file, std::int64_t position) {
    return position >= 1 && file.Seek(position - 1);
}

}  // namespace tolvaren
