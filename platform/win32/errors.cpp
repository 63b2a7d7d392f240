#include "platform/win32/errors.h"

#include "platform/win32/unique_handle.h"

namespace tolvaren {
namespace {

// Codes of newer Windows versions than the headers of the toolchain know.
constexpr DWORD kVirusInfected = 225;
constexpr DWORD kVirusDeleted = 226;
constexpr DWORD kNoSuchDevice = 433;
// A placeholder of a synced folder whose content cannot be fetched: its
// provider is not running, gone, cut off, refused or timed out.
constexpr DWORD kCloudFileCodes[] = {
    362,  // ERROR_CLOUD_FILE_PROVIDER_NOT_RUNNING
    377,  // ERROR_CLOUD_FILE_NOT_IN_SYNC
    386,  // ERROR_CLOUD_FILE_AUTHENTICATION_FAILED
    387,  // ERROR_CLOUD_FILE_INSUFFICIENT_RESOURCES
    388,  // ERROR_CLOUD_FILE_NETWORK_UNAVAILABLE
    389,  // ERROR_CLOUD_FILE_UNSUCCESSFUL
    393,  // ERROR_CLOUD_FILE_REQUEST_ABORTED
    395,  // ERROR_CLOUD_FILE_ACCESS_DENIED
    398,  // ERROR_CLOUD_FILE_REQUEST_CANCELED
    404,  // ERROR_CLOUD_FILE_PROVIDER_TERMINATED
    426,  // ERROR_CLOUD_FILE_REQUEST_TIMEOUT
    523,  // ERROR_CLOUD_FILE_HYDRATION_NOT_AVAILABLE
};

bool IsCloudFileCode(DWORD code) {
    for (const DWORD cloud : kCloudFileCodes)
        if (code == cloud) return true;
    return false;
}

struct LocalTraits {
    using pointer = char*;
    static char* Invalid() { return nullptr; }
    static void Close(char* text) { LocalFree(text); }
};

}  // namespace

Outcome OutcomeOfWindowsError(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: case ERROR_INVALID_DRIVE:
        case ERROR_INVALID_NAME:
            return Reason::ArchiveNotFound;
        case ERROR_SHARING_VIOLATION: case ERROR_LOCK_VIOLATION:
            return Reason::InUse;
        case ERROR_ACCESS_DENIED:
            return Reason::AccessDenied;
        case ERROR_WRITE_PROTECT:
            return Reason::WriteProtected;
        case ERROR_NOT_READY: case ERROR_DEVICE_REMOVED: case kNoSuchDevice:
            return Reason::DriveUnavailable;
        case ERROR_BAD_NETPATH: case ERROR_NETNAME_DELETED: case ERROR_UNEXP_NET_ERR:
        case ERROR_NETWORK_ACCESS_DENIED: case ERROR_BAD_NET_NAME: case ERROR_NETWORK_UNREACHABLE:
            return Reason::NetworkUnavailable;
        case kVirusInfected: case kVirusDeleted:
            return Reason::BlockedBySecurity;
        case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL:
            return Reason::DiskFull;
        default:
            break;
    }
    if (IsCloudFileCode(code)) return Reason::OnlineOnly;
    return {Reason::PlatformError, WindowsErrorText(code)};
}

Outcome OutcomeOfRefusedOpen(DWORD error, const RefusalFacts& facts) {
    if (facts.readOnlyVolume) return Reason::ReadOnlyDrive;
    if (error == ERROR_WRITE_PROTECT) return Reason::WriteProtected;
    const bool known = facts.attributes != INVALID_FILE_ATTRIBUTES;
    if (known && (facts.attributes & FILE_ATTRIBUTE_DIRECTORY)) return Reason::NotADiskFile;
    if (known && (facts.attributes & FILE_ATTRIBUTE_READONLY)) return Reason::ReadOnlyFile;
    return facts.elevated ? Reason::AccessDenied : Reason::NotElevated;
}

Text WindowsErrorText(DWORD code) {
    UniqueAny<LocalTraits> words;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(words.put()), 0, nullptr);
    Text text = "Windows error " + DecimalText(code);
    if (length == 0) return text;
    Text said(words.get(), length);
    // The system ends its words with a full stop and a line break.
    while (!said.empty() && (said.back() == '\r' || said.back() == '\n' || said.back() == ' ' ||
                             said.back() == '.'))
        said.pop_back();
    return said.empty() ? text : text + ": " + Printable(said);
}

bool RunsElevated() {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return true;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size))
        return true;
    return elevation.TokenIsElevated != 0;
}

}  // namespace tolvaren
