#include "platform/win32/errors.h"

#include <cstring>


#include "platform/win32/unique_handle.h"

namespace tolvaren {
namespace {

// Codes of newer Windows versions than the headers of the toolchain know.
constexpr DWORD kVirusInfected = 225;
constexpr DWORD kVirusDeleted = 226;
constexpr DWORD kNoSuchDevice = 433;
constexpr DWORD kCloudFileInUse = 391;  // ERROR_CLOUD_FILE_IN_USE
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
    475,  // ERROR_CLOUD_FILE_US_MESSAGE_TIMEOUT
    523,  // ERROR_CLOUD_FILE_HYDRATION_NOT_AVAILABLE
};

bool IsCloudFileCode(DWORD code) {
    for (const DWORD cloud : kCloudFileCodes)
        if (code == cloud) return true;
    return false;
}

}  // namespace

Outcome OutcomeOfWindowsError(DWORD code) {
    switch (code) {
        // Windows 11 24H2 says ERROR_DIRECTORY where older versions said
        // ERROR_INVALID_NAME.
        case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: case ERROR_INVALID_DRIVE:
        case ERROR_INVALID_NAME: case ERROR_DIRECTORY:
            return Reason::ArchiveNotFound;
        case ERROR_SHARING_VIOLATION: case ERROR_LOCK_VIOLATION: case kCloudFileInUse:
            return Reason::InUse;
        case ERROR_ACCESS_DENIED:
            return Reason::AccessDenied;
        case ERROR_WRITE_PROTECT:
            return Reason::WriteProtected;
        case ERROR_NOT_READY: case ERROR_DEVICE_REMOVED: case kNoSuchDevice:
            return Reason::DriveUnavailable;
        case ERROR_BAD_NETPATH: case ERROR_NETNAME_DELETED: case ERROR_UNEXP_NET_ERR: case ERROR_DEV_NOT_EXIST:
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

namespace {

Outcome OutcomeOfRefusedWrite(DWORD error, const RefusalFacts& facts) {
    if (facts.readOnlyVolume) return Reason::ReadOnlyDrive;
    if (error == ERROR_WRITE_PROTECT) return Reason::WriteProtected;
    const bool known = facts.attributes != INVALID_FILE_ATTRIBUTES;
    if (known && (facts.attributes & FILE_ATTRIBUTE_DIRECTORY)) return Reason::NotADiskFile;
    if (known && (facts.attributes & FILE_ATTRIBUTE_READONLY)) return Reason::ReadOnlyFile;
    // Administrator rights do not reach a share, and an elevated program
    // does not see the user's mapped drives.
    if (facts.driveType == DRIVE_REMOTE) return Reason::ShareNotWritable;
    return facts.elevated ? Reason::AccessDenied : Reason::NotElevated;
}

Outcome OutcomeOfMissingFile(DWORD error, const RefusalFacts& facts) {
    if (facts.driveType == DRIVE_NO_ROOT_DIR) return Reason::DriveUnavailable;  // a removed drive
    const bool fileThere = facts.attributes != INVALID_FILE_ATTRIBUTES && !(facts.attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (error == ERROR_FILE_NOT_FOUND && facts.forWriting && fileThere) return Reason::ChangeRefused;
    return Reason::ArchiveNotFound;
}

}  // namespace

Outcome OutcomeOfFailedOpen(DWORD error, const RefusalFacts& facts) {
    const Outcome outcome = OutcomeOfWindowsError(error);
    switch (outcome.reason) {
        case Reason::AccessDenied: case Reason::WriteProtected: return OutcomeOfRefusedWrite(error, facts);
        case Reason::ArchiveNotFound: return OutcomeOfMissingFile(error, facts);
        default: return outcome;
    }
}

namespace {

// The languages the system's words are asked in, in order: FormatMessageA
// answers a given language with that language only, or not at all. The
// 8-bit text is in the system's code page, which spells the system's
// language, not always the user's (0); under UTF-8 any language is spelled.
// English, where the system's language has no words installed; the user's
// last, rather than no words.
void LanguagesOfSystemWords(LANGID (&languages)[4]) {
    const LANGID system = GetSystemDefaultLangID();
    const LANGID first = GetACP() == CP_UTF8 ? 0 : system;
    languages[0] = first;
    languages[1] = MAKELANGID(PRIMARYLANGID(system), SUBLANG_NEUTRAL);
    languages[2] = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    languages[3] = 0;
}

// The decimal digits of `number` at `at`; how many.
std::size_t WriteDecimal(char* at, DWORD number) {
    char digits[10];
    std::size_t count = 0;
    do digits[count++] = static_cast<char>('0' + number % 10);
    while ((number /= 10) != 0);
    for (std::size_t i = 0; i < count; ++i) at[i] = digits[count - 1 - i];
    return count;
}

// The system's words for `error`, without the full stop and line break it
// ends them with, control bytes shown as '?'; how many bytes.
std::size_t SystemWords(DWORD error, char (&said)[512]) {
    DWORD length = 0;
    LANGID languages[4];
    LanguagesOfSystemWords(languages);
    for (const LANGID language : languages) {
        length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                language, said, sizeof said, nullptr);
        if (length > 0) break;
    }
    while (length > 0 && (said[length - 1] == '\r' || said[length - 1] == '\n' || said[length - 1] == ' ' ||
                          said[length - 1] == '.'))
        --length;
    for (DWORD i = 0; i < length; ++i)
        if (static_cast<unsigned char>(said[i]) < 0x20 || said[i] == 0x7F) said[i] = '?';
    return length;
}

}  // namespace

// Built in place, so that telling why a write failed, in the middle of a
// switch, asks for no more memory than the text itself, and without that,
// gives the number alone.
Text WindowsErrorText(DWORD error) {
    char text[16 + 2 + 512] = "Windows error ";
    std::size_t length = sizeof "Windows error " - 1;
    length += WriteDecimal(text + length, error);
    const std::size_t numberEnd = length;
    char said[512];
    const std::size_t saidLength = SystemWords(error, said);
    if (saidLength > 0) {
        text[length++] = ':';
        text[length++] = ' ';
        std::memcpy(text + length, said, saidLength);
        length += saidLength;
    }
    Text told;
    if (!told.TryAssign(std::string_view(text, length))) (void)told.TryAssign(std::string_view(text, numberEnd));
    return told;
}

RestartAccount RestartAccountFor(TOKEN_ELEVATION_TYPE type, bool userAccountControl) {
    // A limited token has a full one linked, of the same account; a default
    // one that is not elevated belongs to a standard user, whom only User
    // Account Control can let run as another account.
    if (type == TokenElevationTypeLimited) return RestartAccount::Same;
    return userAccountControl ? RestartAccount::Other : RestartAccount::None;
}

bool UserAccountControlIsOn() {
    DWORD enabled = 1, size = sizeof enabled;
    const LONG status = RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
                                     "EnableLUA", RRF_RT_REG_DWORD, nullptr, &enabled, &size);
    return status != ERROR_SUCCESS || enabled != 0;
}

TOKEN_ELEVATION_TYPE ElevationTypeOfThisProcess() {
    UniqueHandle token;
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()))
        (void)GetTokenInformation(token.get(), TokenElevationType, &type, sizeof type, &size);
    return type;
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
