// Files on Windows through the 8-bit entry points, every call without
// critical-error boxes.
#include <windows.h>

#include "platform/file_system.h"
#include "platform/win32/errors.h"
#include "platform/win32/unique_handle.h"

namespace tolvaren {
namespace {

// What Windows says about the file and its drive, for a refused open.
RefusalFacts FactsAbout(const Text& path) {
    RefusalFacts facts;
    facts.attributes = WithoutErrorBoxes([&] { return GetFileAttributesA(path.c_str()); });
    char volume[MAX_PATH] = {};
    DWORD flags = 0;
    facts.readOnlyVolume = WithoutErrorBoxes([&] {
        return GetVolumePathNameA(path.c_str(), volume, sizeof volume) &&
               GetVolumeInformationA(volume, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0);
    }) && (flags & FILE_READ_ONLY_VOLUME) != 0;
    facts.elevated = RunsElevated();
    return facts;
}

Outcome OutcomeOfFailedOpen(const Text& path, DWORD error) {
    const Outcome outcome = OutcomeOfWindowsError(error);
    if (outcome.reason != Reason::AccessDenied && outcome.reason != Reason::WriteProtected) return outcome;
    return OutcomeOfRefusedOpen(error, FactsAbout(path));
}

// A file's identity: its volume and its index there.
struct FileIdentity {
    DWORD volume = 0, indexHigh = 0, indexLow = 0;
    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
    }
};

bool IdentityOf(HANDLE handle, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!WithoutErrorBoxes([&] { return GetFileInformationByHandle(handle, &info); })) return false;
    identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

// A fresh look at what `path` names. Asking for no access to its data, the
// open passes beside the archive held without sharing.
bool IdentityOf(const Text& path, FileIdentity& identity) {
    const UniqueFileHandle named(WithoutErrorBoxes([&] {
        return CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    }));
    return named && IdentityOf(named.get(), identity);
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

// A handle opened without sharing lets no other Windows program open the
// file while it is held, nor rename another over it; Wine keeps that rule
// among Windows programs only, so a native program may still cut the file
// or rename another over it. Its size and identity are looked at again
// between the phases of a write.
class Win32File final : public File {
public:
    Win32File(UniqueFileHandle handle, Text path) : handle_(std::move(handle)), path_(std::move(path)) {
        expectedSize_ = Size();
        knownIdentity_ = IdentityOf(handle_.get(), identity_);
    }

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
        if (!ok) NoteWhyStopped();
        return ok ? got : 0;
    }
    std::size_t Write(const char* buffer, std::size_t count) override {
        DWORD put = 0;
        const BOOL ok = WithoutErrorBoxes([&] {
            return WriteFile(handle_.get(), buffer, ClampToDword(count), &put, nullptr);
        });
        if (!ok) NoteWhyStopped();
        if (put > 0) expectedSize_ = Size();
        return ok ? put : 0;
    }
    bool Flush() override {
        const BOOL ok = WithoutErrorBoxes([&] { return FlushFileBuffers(handle_.get()); });
        if (!ok) NoteWhyStopped();
        return ok != FALSE;
    }
    Outcome WhyStopped() const override { return whyStopped_; }

    std::int64_t Size() const override {
        LARGE_INTEGER size = {};
        return WithoutErrorBoxes([&] { return GetFileSizeEx(handle_.get(), &size); }) ? size.QuadPart : -1;
    }

    Outcome Unchanged() const override {
        FileIdentity named;
        if (knownIdentity_ && (!IdentityOf(path_, named) || !(named == identity_)))
            return Reason::ArchiveReplaced;
        return Size() == expectedSize_ ? Reason::Done : Reason::InUse;
    }

private:
    static DWORD ClampToDword(std::size_t count) {
        return count > MAXDWORD ? MAXDWORD : static_cast<DWORD>(count);
    }
    // In the middle of a rewrite, where nothing may throw: without memory
    // for Windows's words, the reason alone.
    void NoteWhyStopped() noexcept {
        const DWORD error = GetLastError();
        try {
            whyStopped_ = OutcomeOfWindowsError(error);
        } catch (...) {
            whyStopped_ = Outcome(Reason::PlatformError);
        }
    }

    UniqueFileHandle handle_;
    const Text path_;
    std::int64_t expectedSize_ = -1;  // as opened, or as this process last wrote it
    FileIdentity identity_;
    bool knownIdentity_ = false;
    Outcome whyStopped_;
};

// The 8-bit calls cut a longer path or read wildcards in it: another file
// could be opened than the one named.
constexpr std::size_t kMaxPathBytes = MAX_PATH - 1;

bool IsOpenableAsGiven(const Text& path) {
    return path.size() <= kMaxPathBytes && path.find_first_of("*?") == Text::npos;
}

class Win32FileSystem final : public FileSystem {
public:
    OpenedFile Open(const Text& path, FileAccess access) override {
        if (!IsOpenableAsGiven(path)) return {nullptr, Reason::CannotOpen};
        const OpenMode mode = ModeFor(access);
        DWORD lastError = NO_ERROR;
        UniqueFileHandle handle(WithoutErrorBoxes([&] {
            const HANDLE opened = CreateFileA(path.c_str(), mode.desired, mode.share, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            lastError = GetLastError();
            return opened;
        }));
        if (!handle) return {nullptr, OutcomeOfFailedOpen(path, lastError)};
        // Pipes and devices would hang or never end a read.
        if (WithoutErrorBoxes([&] { return GetFileType(handle.get()); }) != FILE_TYPE_DISK)
            return {nullptr, Reason::NotADiskFile};
        return {std::make_unique<Win32File>(std::move(handle), path), Reason::Done};
    }

    // Windows redirects the writes of a program it virtualizes from
    // X:\folder\file to %LOCALAPPDATA%\VirtualStore\folder\file, and from
    // then on that program reads the copy.
    Text VirtualizedCopyOf(const Text& path) override {
        if (path.size() < 3 || path[1] != ':' || (path[2] != '\\' && path[2] != '/')) return Text();
        char localAppData[MAX_PATH] = {};
        const DWORD length = GetEnvironmentVariableA("LOCALAPPDATA", localAppData, sizeof localAppData);
        if (length == 0 || length >= sizeof localAppData) return Text();
        const Text copy = Text(localAppData, length) + "\\VirtualStore" + path.substr(2);
        const DWORD attributes = WithoutErrorBoxes([&] { return GetFileAttributesA(copy.c_str()); });
        const bool file = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        return file ? copy : Text();
    }
};

}  // namespace

FileSystem& PlatformFileSystem() {
    static Win32FileSystem files;
    return files;
}

}  // namespace tolvaren
