#pragma once
// Files in memory ("/"-separated paths), with refused opens, injectable
// faults and a log of every step, for tests that must see what the archive
// rules do when a step fails.
#include <map>
#include <vector>

#include "core/file.h"

namespace tolvaren::test {

// Check: the look, between the phases of a write, for other programs.
enum class FileStep { Open, Seek, Read, ShortRead, Write, ShortWrite, Flush, Check };

class MemoryFileSystem final : public FileSystem {
public:
    struct Fault {
        FileStep step;
        int occurrence;  // 1 = the first time that step is taken
        Outcome why = Reason::Done;  // what the file then says; by default the platform's I/O error, or a full disk
        // For Check: another program cuts the file to this size first.
        std::size_t truncateTo = Text::npos;
    };
    struct LogEntry {
        FileStep step;
        bool failed;
        Text bytesWritten;
        std::size_t at = 0;  // where a write began
        Text fileAfter;      // the whole file after a write
    };

    Result<std::unique_ptr<File>> Open(const Text& path, FileAccess access) override;
    Text PathIn(const Text& folder, const Text& relative) override;
    bool IsAbsolute(const Text& path) const override { return !path.empty() && path[0] == '/'; }
    Result<List<Text>> SubfolderNames(const Text& folder) override;
    Result<FileIdentity> IdentityOf(const Text& path) override;
    Result<Text> ReadTextFile(const Text& path) override;
    Text VirtualizedCopyOf(const Text& path) override {
        const auto found = virtualizedCopies.find(path);
        return found != virtualizedCopies.end() ? found->second : Text();
    }

    void Inject(Fault fault) { faults_.push_back(fault); }
    // The injected fault this step is, counting every step taken; null
    // when it is none.
    const Fault* Fails(FileStep step);
    void Record(FileStep step, bool failed) { log_.push_back({step, failed, Text(), 0, Text()}); }
    void RecordWrite(FileStep step, Text written, std::size_t at, Text fileAfter) {
        log_.push_back({step, false, std::move(written), at, std::move(fileAfter)});
    }

    std::map<Text, Text> files;
    // Opens with this access are refused so, as the platform would.
    std::map<FileAccess, Outcome> refusals;
    // Archive path -> the copy the platform keeps of it for this user.
    std::map<Text, Text> virtualizedCopies;
    // What each file opened without sharing says it could not look at.
    Outcome caveat;
    // How each open asked for the file, in order.
    std::vector<FileAccess> opened;
    const std::vector<LogEntry>& Log() const { return log_; }

private:
    std::vector<Fault> faults_;
    std::map<FileStep, int> taken_;
    std::vector<LogEntry> log_;
};

}  // namespace tolvaren::test
