#include "tests/support/memory_file_system.h"

#include <algorithm>
#include <cstring>

namespace tolvaren::test {
namespace {

class MemoryFile final : public File {
public:
    MemoryFile(MemoryFileSystem& owner, Text& bytes, bool writable)
        : owner_(owner), bytes_(bytes), writable_(writable), expectedSize_(bytes.size()) {}

    bool Seek(std::int64_t offset) override {
        const bool failed = offset < 0 || owner_.Fails(FileStep::Seek);
        owner_.Record(FileStep::Seek, failed);
        if (!failed) position_ = static_cast<std::size_t>(offset);
        return !failed;
    }
    std::size_t Read(char* buffer, std::size_t count) override {
        if (const MemoryFileSystem::Fault* failed = owner_.Fails(FileStep::Read)) {
            whyStopped_ = failed->why;
            owner_.Record(FileStep::Read, true);
            return 0;
        }
        std::size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
        const bool cut = count > 1 && owner_.Fails(FileStep::ShortRead);
        if (cut) count /= 2;
        const std::size_t got = std::min(count, available);
        std::memcpy(buffer, bytes_.data() + position_, got);
        position_ += got;
        owner_.Record(cut ? FileStep::ShortRead : FileStep::Read, false);
        return got;
    }
    std::size_t Write(const char* buffer, std::size_t count) override {
        const MemoryFileSystem::Fault* failed = writable_ ? owner_.Fails(FileStep::Write) : nullptr;
        if (!writable_ || failed) {
            if (failed) whyStopped_ = failed->why;
            owner_.Record(FileStep::Write, true);
            return 0;
        }
        const MemoryFileSystem::Fault* cut = count > 1 ? owner_.Fails(FileStep::ShortWrite) : nullptr;
        if (cut) {
            count /= 2;
            whyStopped_ = cut->why;
        }
        if (bytes_.size() < position_ + count) bytes_.resize(position_ + count, '\0');
        bytes_.replace(position_, count, buffer, count);
        owner_.RecordWrite(cut ? FileStep::ShortWrite : FileStep::Write, Text(buffer, count), position_, bytes_);
        position_ += count;
        expectedSize_ = bytes_.size();
        return count;
    }
    bool Flush() override {
        const MemoryFileSystem::Fault* failed = owner_.Fails(FileStep::Flush);
        if (failed) whyStopped_ = failed->why;
        owner_.Record(FileStep::Flush, failed != nullptr);
        return failed == nullptr;
    }

    Outcome WhyStopped() const override { return whyStopped_; }
    std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }
    Outcome Unchanged() const override {
        const MemoryFileSystem::Fault* fault = owner_.Fails(FileStep::Check);
        if (fault && fault->truncateTo < bytes_.size()) bytes_.resize(fault->truncateTo);
        Outcome why = fault ? fault->why : Outcome();
        if (why.Done() && bytes_.size() != expectedSize_) why = Reason::InUse;
        owner_.Record(FileStep::Check, !why.Done());
        return why;
    }
    Outcome Caveat() const override { return writable_ ? owner_.caveat : Outcome(); }

private:
    MemoryFileSystem& owner_;
    Text& bytes_;
    bool writable_;
    std::size_t expectedSize_;  // as opened, or as last written
    std::size_t position_ = 0;
    Outcome whyStopped_;
};

}  // namespace

const MemoryFileSystem::Fault* MemoryFileSystem::Fails(FileStep step) {
    const int occurrence = ++taken_[step];
    for (const Fault& fault : faults_)
        if (fault.step == step && fault.occurrence == occurrence) return &fault;
    return nullptr;
}

OpenedFile MemoryFileSystem::Open(const Text& path, FileAccess access) {
    opened.push_back(access);
    const auto found = files.find(path);
    const auto refusal = refusals.find(access);
    Outcome outcome;
    if (found == files.end()) outcome = Reason::ArchiveNotFound;
    else if (refusal != refusals.end()) outcome = refusal->second;
    else if (Fails(FileStep::Open)) outcome = Reason::CannotOpen;
    Record(FileStep::Open, !outcome.Done());
    if (!outcome.Done()) return {nullptr, std::move(outcome)};
    return {std::make_unique<MemoryFile>(*this, found->second, access == FileAccess::ReadWrite),
            Reason::Done};
}

}  // namespace tolvaren::test
