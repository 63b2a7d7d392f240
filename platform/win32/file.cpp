// Files on Windows through the 8-bit entry points, every call without
// critical-error boxes.
#include <windows.h>

#include <algorithm>

#include "core/ascii.h"
#include "platform/file_system.h"
#include "platform/win32/code_page.h"
#include "platform/win32/errors.h"
#include "platform/win32/unique_handle.h"

namespace tolvaren {
namespace {

Text FullPath(const Text& path) {
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? Text(full, length) : path;
}

// "X:\" of "X:\…", "\\server\share\" of "\\server\share\…"; empty for
// a relative path.
Text RootOf(const Text& path) {
    if (path.find(':') == 1 && path.find_first_of("\\/", 2) == 2) return path.substr(0, 2) + '\\';
    if (path.rfind("\\\\", 0) != 0) return Text();
    const std::size_t share = path.find('\\', 2);
    const std::size_t end = share == Text::npos ? Text::npos : path.find('\\', share + 1);
    return end == Text::npos ? Text() : path.substr(0, end + 1);
}

// What Windows says about the file and its drive, for an open that failed.
RefusalFacts FactsAbout(const Text& path, FileAccess access) {
    RefusalFacts facts;
    facts.forWriting = access == FileAccess::ReadWrite;
    facts.attributes = WithoutErrorBoxes([&] { return GetFileAttributesA(path.c_str()); });
    const Text root = RootOf(FullPath(path));  // a relative path's too
    if (!root.empty()) facts.driveType = WithoutErrorBoxes([&] { return GetDriveTypeA(root.c_str()); });
    char volume[MAX_PATH] = {};
    DWORD flags = 0;
    facts.readOnlyVolume = WithoutErrorBoxes([&] {
        return GetVolumePathNameA(path.c_str(), volume, sizeof volume) &&
               GetVolumeInformationA(volume, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0);
    }) && (flags & FILE_READ_ONLY_VOLUME) != 0;
    facts.elevated = RunsElevated();
    return facts;
}

Outcome OutcomeOfFailedOpen(const Text& path, FileAccess access, DWORD error) {
    const Reason reason = OutcomeOfWindowsError(error).reason;
    const bool dependsOnFacts = reason == Reason::AccessDenied || reason == Reason::WriteProtected ||
                                reason == Reason::ArchiveNotFound;
    return OutcomeOfFailedOpen(error, dependsOnFacts ? FactsAbout(path, access) : RefusalFacts());
}

Outcome LastError() { return OutcomeOfWindowsError(GetLastError()); }

Result<FileIdentity> IdentityOfHandle(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!WithoutErrorBoxes([&] { return GetFileInformationByHandle(handle, &info); })) return LastError();
    return FileIdentity{info.dwVolumeSerialNumber,
                        static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
}

// A fresh look at what `path` names. Asking for no access to its data, the
// open passes beside the archive held without sharing.
Result<FileIdentity> IdentityOfPath(const Text& path) {
    const UniqueFileHandle named(WithoutErrorBoxes([&] {
        return CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    }));
    if (!named) return LastError();
    return IdentityOfHandle(named.get());
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

DWORD ClampToDword(std::size_t count) { return count > MAXDWORD ? MAXDWORD : static_cast<DWORD>(count); }

// A handle opened without sharing lets no other Windows program open the
// file while it is held, nor rename another over it; Wine keeps that rule
// among Windows programs only, so a native program may still cut the file
// or rename another over it. Its size and identity are looked at again
// between the phases of a write.
class Win32File final : public File {
public:
    Win32File(UniqueFileHandle handle, Text path)
        : handle_(std::move(handle)),
          path_(std::move(path)),
          identity_(IdentityOfHandle(handle_.get())),
          sizeAsOpened_(SizeOrNone()) {}

    Outcome Seek(std::int64_t offset) override {
        LONG high = static_cast<LONG>(offset >> 32);
        const LONG low = static_cast<LONG>(offset & 0xFFFFFFFF);
        const bool moved = WithoutErrorBoxes([&] {
            SetLastError(NO_ERROR);
            return SetFilePointer(handle_.get(), low, &high, FILE_BEGIN) != INVALID_SET_FILE_POINTER ||
                   GetLastError() == NO_ERROR;
        });
        return moved ? Outcome() : LastError();
    }
    Result<std::size_t> Read(char* buffer, std::size_t count) override {
        DWORD got = 0;
        if (!WithoutErrorBoxes([&] { return ReadFile(handle_.get(), buffer, ClampToDword(count), &got, nullptr); }))
            return LastError();
        return static_cast<std::size_t>(got);
    }
    Result<std::size_t> Write(const char* buffer, std::size_t count) override {
        DWORD put = 0;
        if (!WithoutErrorBoxes([&] { return WriteFile(handle_.get(), buffer, ClampToDword(count), &put, nullptr); }))
            return LastError();
        return static_cast<std::size_t>(put);
    }
    Outcome Flush() override {
        if (WithoutErrorBoxes([&] { return FlushFileBuffers(handle_.get()); })) return Reason::Done;
        return LastError();
    }

    Result<std::int64_t> Size() const override {
        LARGE_INTEGER size = {};
        if (!WithoutErrorBoxes([&] { return GetFileSizeEx(handle_.get(), &size); })) return LastError();
        return static_cast<std::int64_t>(size.QuadPart);
    }

    Outcome Unchanged() const override {
        if (identity_) {
            const Result<FileIdentity> named = IdentityOfPath(path_);
            if (!named || !(*named == *identity_)) return Reason::ArchiveReplaced;
        }
        const Result<std::int64_t> size = Size();
        return size && *size == sizeAsOpened_ ? Reason::Done : Reason::InUse;
    }

private:
    std::int64_t SizeOrNone() const {
        const Result<std::int64_t> size = Size();
        return size ? *size : -1;
    }

    UniqueFileHandle handle_;
    const Text path_;
    const Result<FileIdentity> identity_;
    // A switch writes within the file: a write past an end another program
    // cut would grow it again, to a size that must not pass for the first.
    const std::int64_t sizeAsOpened_;
};

// The 8-bit calls cut a path longer than MAX_PATH - 1 UTF-16 units (which a
// name in UTF-8 can be at three times the bytes) or read wildcards in it:
// another file could be opened than the one named.
constexpr int kMaxPathUnits = MAX_PATH - 1;

bool IsOpenableAsGiven(const Text& path) {
    const int units = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    return units <= kMaxPathUnits && path.find_first_of("*?") == Text::npos;
}

bool IsNothingThere(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool IsAbsolutePath(const Text& path) {
    return (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
           (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

// An existing disk file; else Windows's error, ERROR_BAD_FILE_TYPE for a
// pipe or a device, which would hang or never end a read.
UniqueFileHandle OpenDiskFile(const Text& path, FileAccess access, DWORD& error) {
    const OpenMode mode = ModeFor(access);
    UniqueFileHandle handle(WithoutErrorBoxes([&] {
        const HANDLE opened = CreateFileA(path.c_str(), mode.desired, mode.share, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        error = GetLastError();
        return opened;
    }));
    if (handle && WithoutErrorBoxes([&] { return GetFileType(handle.get()); }) != FILE_TYPE_DISK) {
        handle.reset();
        error = ERROR_BAD_FILE_TYPE;
    }
    return handle;
}

Outcome Unreadable(DWORD error) { return {Reason::Unreadable, WindowsErrorText(error)}; }

class Win32FileSystem final : public FileSystem {
public:
    Result<std::unique_ptr<File>> Open(const Text& path, FileAccess access) override {
        if (!IsOpenableAsGiven(path)) return Reason::CannotOpen;
        DWORD error = NO_ERROR;
        UniqueFileHandle handle = OpenDiskFile(path, access, error);
        if (error == ERROR_BAD_FILE_TYPE) return Reason::NotADiskFile;
        if (!handle) return OutcomeOfFailedOpen(path, access, error);
        return std::make_unique<Win32File>(std::move(handle), path);
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

    // Windows finds names without regard to letter case by itself.
    Text PathIn(const Text& folder, const Text& relative) override {
        Text path = IsAbsolutePath(relative) || folder.empty() ? relative : folder + '\\' + relative;
        for (char& c : path)
            if (c == '/') c = '\\';
        return path;
    }

    bool IsAbsolute(const Text& path) const override { return IsAbsolutePath(path); }

    bool NamesAreUtf8() const override { return GetACP() == CP_UTF8; }

    Result<Text> PathFromUtf8(const Text& utf8) const override { return FromUtf8(utf8, CP_ACP); }

    Result<List<Text>> SubfolderNames(const Text& folder) override {
        List<Text> names;
        WIN32_FIND_DATAA entry = {};
        const UniqueFindHandle listing(
            WithoutErrorBoxes([&] { return FindFirstFileA(PathIn(folder, "*").c_str(), &entry); }));
        if (!listing) {
            const DWORD error = GetLastError();
            if (IsNothingThere(error)) return names;
            return Unreadable(error);
        }
        do {
            const Text name = entry.cFileName;
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name[0] != '.') names.push_back(name);
        } while (WithoutErrorBoxes([&] { return FindNextFileA(listing.get(), &entry); }));
        std::sort(names.begin(), names.end());
        return names;
    }

    Result<FileIdentity> IdentityOf(const Text& path) override { return IdentityOfPath(path); }

    Result<Text> ReadTextFile(const Text& path) override {
        DWORD error = NO_ERROR;
        const UniqueFileHandle file = OpenDiskFile(path, FileAccess::SharedRead, error);
        if (!file) return IsNothingThere(error) ? Result<Text>(Text()) : Unreadable(error);
        LARGE_INTEGER size = {};
        if (!WithoutErrorBoxes([&] { return GetFileSizeEx(file.get(), &size); })) return Unreadable(GetLastError());
        if (static_cast<std::uint64_t>(size.QuadPart) > kMaxSearchedFileBytes) return Reason::FileTooLarge;
        Text text;
        if (!text.TryResize(static_cast<std::size_t>(size.QuadPart))) return Reason::OutOfMemory;
        DWORD got = 0;
        if (!WithoutErrorBoxes([&] { return ReadFile(file.get(), text.data(), ClampToDword(text.size()), &got, nullptr); }))
            return Unreadable(GetLastError());
        text.resize(got);
        return text;
    }

    // One file however spelled: Windows ignores letter case.
    bool SamePath(const Text& a, const Text& b) override { return EqualIgnoringAsciiCase(FullPath(a), FullPath(b)); }
};

}  // namespace

FileSystem& PlatformFileSystem() {
    static Win32FileSystem files;
    return files;
}

}  // namespace tolvaren
