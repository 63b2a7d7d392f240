#include "tests/support/memory_file_system.h"

#include <algorithm>
#include <cstring>

namespace tolvaren::test {
namespace {

// What a failed step says, where the fault does not say.
Outcome WhyFailed(const MemoryFileSystem::Fault& fault, FileStep step) {
    if (!fault.why.Done()) return fault.why;
    if (step == FileStep::Write || step == FileStep::Flush) return Reason::DiskFull;
    return {Reason::PlatformError, "Input/output error"};
}

class MemoryFile final : public File {
public:
    MemoryFile(MemoryFileSystem& owner, Text& bytes, bool writable)
        : owner_(owner), bytes_(bytes), writable_(writable), expectedSize_(bytes.size()) {}

    Outcome Seek(std::int64_t offset) override {
        const MemoryFileSystem::Fault* failed = owner_.Fails(FileStep::Seek);
        owner_.Record(FileStep::Seek, failed != nullptr);
        if (failed) return WhyFailed(*failed, FileStep::Seek);
        position_ = static_cast<std::size_t>(offset);
        return Reason::Done;
    }
    Result<std::size_t> Read(char* buffer, std::size_t count) override {
        if (const MemoryFileSystem::Fault* failed = owner_.Fails(FileStep::Read)) {
            owner_.Record(FileStep::Read, true);
            return WhyFailed(*failed, FileStep::Read);
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
    // A short write writes half, and the next write goes on from there.
    Result<std::size_t> Write(const char* buffer, std::size_t count) override {
        const MemoryFileSystem::Fault* failed = writable_ ? owner_.Fails(FileStep::Write) : nullptr;
        if (!writable_ || failed) {
            owner_.Record(FileStep::Write, true);
            return failed ? WhyFailed(*failed, FileStep::Write) : Outcome(Reason::AccessDenied);
        }
        const bool cut = count > 1 && owner_.Fails(FileStep::ShortWrite);
        if (cut) count /= 2;
        if (bytes_.size() < position_ + count) bytes_.resize(position_ + count, '\0');
        bytes_.replace(position_, count, buffer, count);
        owner_.RecordWrite(cut ? FileStep::ShortWrite : FileStep::Write, Text(buffer, count), position_, bytes_);
        position_ += count;
        expectedSize_ = bytes_.size();
        return count;
    }
    Outcome Flush() override {
        const MemoryFileSystem::Fault* failed = owner_.Fails(FileStep::Flush);
        owner_.Record(FileStep::Flush, failed != nullptr);
        return failed ? WhyFailed(*failed, FileStep::Flush) : Outcome();
    }
    Result<std::int64_t> Size() const override { return static_cast<std::int64_t>(bytes_.size()); }
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
};

}  // namespace

const MemoryFileSystem::Fault* MemoryFileSystem::Fails(FileStep step) {
    const int occurrence = ++taken_[step];
    for (const Fault& fault : faults_)
        if (fault.step == step && fault.occurrence == occurrence) return &fault;
    return nullptr;
}

Result<std::unique_ptr<File>> MemoryFileSystem::Open(const Text& path, FileAccess access) {
    opened.push_back(access);
    const auto found = files.find(path);
    const auto refusal = refusals.find(access);
    Outcome outcome;
    if (found == files.end()) outcome = Reason::ArchiveNotFound;
    else if (refusal != refusals.end()) outcome = refusal->second;
    else if (Fails(FileStep::Open)) outcome = Reason::CannotOpen;
    Record(FileStep::Open, !outcome.Done());
    if (!outcome.Done()) return outcome;
    return std::make_unique<MemoryFile>(*this, found->second, access == FileAccess::ReadWrite);
}

Text MemoryFileSystem::PathIn(const Text& folder, const Text& relative) {
    if (!relative.empty() && relative[0] == '/') return relative;
    return folder.empty() ? relative : folder + "/" + relative;
}

// The folders a file's path passes through.
Result<List<Text>> MemoryFileSystem::SubfolderNames(const Text& folder) {
    List<Text> names;
    const Text prefix = folder + "/";
    for (const auto& [path, bytes] : files) {
        if (path.compare(0, prefix.size(), prefix) != 0) continue;
        const std::size_t end = path.find('/', prefix.size());
        if (end == Text::npos) continue;
        const Text name = path.substr(prefix.size(), end - prefix.size());
        if (names.empty() || !(names.back() == name)) names.push_back(name);
    }
    return names;
}

Result<FileIdentity> MemoryFileSystem::IdentityOf(const Text& path) {
    const auto found = files.find(path);
    if (found == files.end()) return Reason::ArchiveNotFound;
    return FileIdentity{1, static_cast<std::uint64_t>(std::distance(files.begin(), found))};
}

Result<Text> MemoryFileSystem::ReadTextFile(const Text& path) {
    const auto found = files.find(path);
    return found != files.end() ? found->second : Text();
}

}  // namespace tolvaren::test
