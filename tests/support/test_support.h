#pragma once
#include <filesystem>
#include <memory>
#include <optional>

#include "core/file.h"
#include "platform/file_system.h"

namespace tolvaren {

// What a lookup found, or nothing where it found none or failed.
inline std::optional<Text> ValueOf(const Result<std::optional<Text>>& lookup) {
    return lookup ? *lookup : std::nullopt;
}

}  // namespace tolvaren

namespace tolvaren::test {

// A fresh folder for one test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    Text Path(const Text& name) const;

private:
    std::filesystem::path root_;
};

// Holds a file open without sharing, as a running game would.
class ExclusiveHold {
public:
    explicit ExclusiveHold(const Text& path);
    ~ExclusiveHold();
    bool Held() const;

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

// Holds a file open for reading, sharing reads, as a running game does: on
// Windows from this process; on POSIX from another process, a `sleep`, that
// may also lock it and run as another user.
class GameHold {
public:
    // Mapped: maps the file into memory and closes it; named "mapper".
    enum class Lock { None, Flock, Fcntl, Mapped };
    static constexpr int kSameUser = -1;
    explicit GameHold(const Text& path, Lock lock = Lock::None, int user = kSameUser);
    ~GameHold();
    GameHold(const GameHold&) = delete;
    GameHold& operator=(const GameHold&) = delete;
    bool Held() const;
    long ProcessId() const;
    Text Command() const;  // its name in /proc

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

// Makes a file unwritable while it lives: the platform's read-only flag and,
// where that is not enforced (running as root), the file system's immutable
// flag as well.
// With Mark::No only the immutable flag is set: writing is denied, and yet
// the file is not marked read-only.
class ReadOnlyFile {
public:
    enum class Mark { Yes, No };
    explicit ReadOnlyFile(const Text& path, Mark mark = Mark::Yes);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    bool Enforced() const;

private:
    Text path_;
    bool immutable_ = false;
    Mark mark_;
};

bool OpensForWriting(const Text& path);

// A named pipe (FIFO) in the file system, with no one at either end, while
// it lives. (Windows programs under Wine can neither make nor remove one.)
class Fifo {
public:
    explicit Fifo(const Text& path);
    ~Fifo();
    Fifo(const Fifo&) = delete;
    Fifo& operator=(const Fifo&) = delete;
    bool Made() const { return made_; }

private:
    Text path_;
    bool made_;
};

// Renames `from` over `to` as another program may while `to` is held
// without sharing: under Wine, as a native program does.
bool RenameOver(const Text& from, const Text& to);

// A character device every system has.
#ifdef _WIN32
inline const Text kDevicePath = "Z:\\dev\\urandom";  // Wine's view of the Unix root
#else
inline const Text kDevicePath = "/dev/urandom";
#endif

// Passes opens through, refusing read-write access like a read-only medium.
class ReadOnlyFileSystem final : public FileSystem {
public:
    explicit ReadOnlyFileSystem(FileSystem& inner) : inner_(inner) {}
    Result<std::unique_ptr<File>> Open(const Text& path, FileAccess access) override;
    Text PathIn(const Text& folder, const Text& relative) override { return inner_.PathIn(folder, relative); }
    bool IsAbsolute(const Text& path) const override { return inner_.IsAbsolute(path); }
    Result<List<Text>> SubfolderNames(const Text& folder) override { return inner_.SubfolderNames(folder); }
    Result<FileIdentity> IdentityOf(const Text& path) override { return inner_.IdentityOf(path); }
    Result<Text> ReadTextFile(const Text& path) override { return inner_.ReadTextFile(path); }

private:
    FileSystem& inner_;
};

}  // namespace tolvaren::test
