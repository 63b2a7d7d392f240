#pragma once
// Files on POSIX systems: any path the system opens. Opening without sharing
// means: no other process has the file open or locked, and while the file
// stays open, other programs' opens wait (platform/posix/in_use.h).
#include "core/file.h"
#include "platform/posix/signals.h"

namespace tolvaren {

class PosixFileSystem final : public FileSystem {
public:
    // `signals` holds back what would end or stop the process while a file
    // is held for a switch; it must outlive every file opened.
    explicit PosixFileSystem(SignalHold& signals) : signals_(signals) {}

    Result<std::unique_ptr<File>> Open(const Text& path, FileAccess access) override;
    Text PathIn(const Text& folder, const Text& relative) override;
    bool IsAbsolute(const Text& path) const override { return !path.empty() && path[0] == '/'; }
    Result<List<Text>> SubfolderNames(const Text& folder) override;
    Result<FileIdentity> IdentityOf(const Text& path) override;
    Result<Text> ReadTextFile(const Text& path) override;

private:
    SignalHold& signals_;
};

}  // namespace tolvaren
