#pragma once
#include <filesystem>
#include <memory>

#include "core/file.h"

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

// Makes a file unwritable while it lives: the platform's read-only flag and,
// where that is not enforced (running as root), the file system's immutable
// flag as well.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const Text& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    bool Enforced() const;

private:
    Text path_;
    bool immutable_ = false;
};

bool OpensForWriting(const Text& path);

// Passes opens through, refusing read-write access like a read-only medium.
class ReadOnlyFileSystem final : public FileSystem {
public:
    explicit ReadOnlyFileSystem(FileSystem& inner) : inner_(inner) {}
    std::unique_ptr<File> Open(const Text& path, FileAccess access, FileError& error) override;

private:
    FileSystem& inner_;
};

}  // namespace tolvaren::test
