// Files on Windows through the 8-bit entry points, every call without
// critical-error boxes.
#include <windows.h>

#include "platform/file_system.h"
#include "platform/win32/unique_handle.h"

namespace tolvaren {
namespace {

Reason ReasonFromLastError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH: case ERROR_NOT_READY: case ERROR_INVALID_NAME:
            return Reason::ArchiveNotFound;
        case ERROR_SHARING_VIOLATION: case ERROR_LOCK_VIOLATION:
            return Reason::InUse;
        case ERROR_ACCESS_DENIED: case ERROR_WRITE_PROTECT:
            return Reason::AccessDenied;
        default:
            return Reason::CannotOpen;
    }
}

// Opening a folder as a file is refused as "access denied"; say what it is.
Reason ReasonForFailedOpen(const Text& path, DWORD error) {
    const Reason reason = ReasonFromLastError(error);
    if (reason != Reason::AccessDenied) return reason;
    const DWORD attributes = WithoutErrorBoxes([&] { return GetFileAttributesA(path.c_str()); });
    const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return folder ? Reason::NotADiskFile : reason;
}

struct OpenMode {
    DWORD desired, share;
};

OpenMode ModeFor(FileAccess access) {
    switch (access) {
        case FileAccess::ReadWrite: return {GENERIC_READ | GENERIC_WRITE, 0};
        case FileAccess::ReadOnly: return {GENERIC_READ, 0};
        case FileAccess::SharedRead: break;
    }
    return {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE};
}

class Win32File final : public File {
public:
    explicit Win32File(UniqueFileHandle handle) : handle_(std::move(handle)) {}

    bool Seek(std::int64_t offset) override {
        LONG high = static_cast<LONG>(offset >> 32);
        const LONG low = static_cast<LONG>(offset & 0xFFFFFFFF);
        return WithoutErrorBoxes([&] {
            SetLastError(NO_ERROR);
            const DWORD moved = SetFilePointer(handle_.get(), low, &high, FILE_BEGIN);
            return moved != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR;
        });
    }
    std::size_t Read(char* buffer, std::size_t count) override {
        DWORD got = 0;
        const BOOL ok = WithoutErrorBoxes([&] {
            return ReadFile(handle_.get(), buffer, ClampToDword(count), &got, nullptr);
        });
        return ok ? got : 0;
    }
    std::size_t Write(const char* buffer, std::size_t count) override {
        DWORD put = 0;
        const BOOL ok = WithoutErrorBoxes([&] {
            return WriteFile(handle_.get(), buffer, ClampToDword(count), &put, nullptr);
        });
        return ok ? put : 0;
    }

private:
    static DWORD ClampToDword(std::size_t count) {
        return count > MAXDWORD ? MAXDWORD : static_cast<DWORD>(count);
    }
    UniqueFileHandle handle_;
};

class Win32FileSystem final : public FileSystem {
public:
    OpenedFile Open(const Text& path, FileAccess access) override {
        const OpenMode mode = ModeFor(access);
        DWORD lastError = NO_ERROR;
        UniqueFileHandle handle(WithoutErrorBoxes([&] {
            const HANDLE opened = CreateFileA(path.c_str(), mode.desired, mode.share, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            lastError = GetLastError();
            return opened;
        }));
        if (!handle) return {nullptr, ReasonForFailedOpen(path, lastError)};
        // Pipes and devices would hang or never end a read.
        if (WithoutErrorBoxes([&] { return GetFileType(handle.get()); }) != FILE_TYPE_DISK)
            return {nullptr, Reason::NotADiskFile};
        return {std::make_unique<Win32File>(std::move(handle)), Reason::Done};
    }
};

}  // namespace

FileSystem& PlatformFileSystem() {
    static Win32FileSystem files;
    return files;
}

}  // namespace tolvaren
