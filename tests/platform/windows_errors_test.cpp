// Each Win32 error code the archive's open, read or write can give, carried
// to the reason it is told by.
#include <gtest/gtest.h>

#include <initializer_list>

#include "platform/win32/code_page.h"
#include "platform/win32/errors.h"

namespace tolvaren {
namespace {

TEST(WindowsErrors, EachCodeIsToldByItsReasonAndAnyOtherInTheSystemsWords) {
    const struct {
        std::initializer_list<DWORD> codes;
        Reason reason;
    } rows[] = {
        {{ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_DIRECTORY}, Reason::ArchiveNotFound},
        {{ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION, 391 /* ERROR_CLOUD_FILE_IN_USE */}, Reason::InUse},
        {{ERROR_ACCESS_DENIED}, Reason::AccessDenied},
        {{ERROR_WRITE_PROTECT}, Reason::WriteProtected},
        {{ERROR_NOT_READY, ERROR_DEVICE_REMOVED, 433 /* ERROR_NO_SUCH_DEVICE */}, Reason::DriveUnavailable},
        {{ERROR_BAD_NETPATH, ERROR_NETNAME_DELETED, ERROR_UNEXP_NET_ERR, ERROR_NETWORK_ACCESS_DENIED,
          ERROR_BAD_NET_NAME, ERROR_NETWORK_UNREACHABLE, ERROR_DEV_NOT_EXIST},
         Reason::NetworkUnavailable},
        {{362, 388, 404, 426, 475 /* ERROR_CLOUD_FILE_... */}, Reason::OnlineOnly},
        {{225, 226 /* ERROR_VIRUS_INFECTED, ERROR_VIRUS_DELETED */}, Reason::BlockedBySecurity},
        {{ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL}, Reason::DiskFull},
        {{ERROR_IO_DEVICE, 0xBEEF}, Reason::PlatformError},
    };
    for (const auto& row : rows)
        for (const DWORD code : row.codes) EXPECT_EQ(OutcomeOfWindowsError(code).reason, row.reason) << code;
    // The system's words follow the number, on one line.
    const Text told = OutcomeOfWindowsError(ERROR_IO_DEVICE).detail;
    EXPECT_EQ(told.rfind("Windows error 1117: ", 0), 0u) << told;
    EXPECT_EQ(told.find_first_of("\r\n"), Text::npos) << told;
    EXPECT_EQ(OutcomeOfWindowsError(0xBEEF).detail, "Windows error 48879");
}

// A failed open told by what the file and its drive show: each has its own
// way out, and only a standard user's rights are helped by a restart.
TEST(WindowsErrors, AFailedOpenIsToldByItsCause) {
    const DWORD plain = FILE_ATTRIBUTE_ARCHIVE, none = INVALID_FILE_ATTRIBUTES;
    const struct {
        DWORD error;
        RefusalFacts facts;  // attributes, read-only volume, elevated, drive type, for writing
        Reason reason;
    } rows[] = {
        {ERROR_ACCESS_DENIED, {plain, true, false}, Reason::ReadOnlyDrive},  // no restart offered
        {ERROR_WRITE_PROTECT, {plain, true, true}, Reason::ReadOnlyDrive},
        {ERROR_WRITE_PROTECT, {plain, false, true}, Reason::WriteProtected},
        {ERROR_ACCESS_DENIED, {FILE_ATTRIBUTE_DIRECTORY, false, false}, Reason::NotADiskFile},
        {ERROR_ACCESS_DENIED, {FILE_ATTRIBUTE_READONLY, false, false}, Reason::ReadOnlyFile},
        {ERROR_ACCESS_DENIED, {plain, false, false}, Reason::NotElevated},
        {ERROR_ACCESS_DENIED, {none, false, true}, Reason::AccessDenied},
        // A share: no restart, whoever asks.
        {ERROR_ACCESS_DENIED, {plain, false, false, DRIVE_REMOTE, true}, Reason::ShareNotWritable},
        {ERROR_ACCESS_DENIED, {plain, false, true, DRIVE_REMOTE, true}, Reason::ShareNotWritable},
        // Controlled Folder Access refuses a write as "not found".
        {ERROR_FILE_NOT_FOUND, {plain, false, true, DRIVE_FIXED, true}, Reason::ChangeRefused},
        {ERROR_FILE_NOT_FOUND, {plain, false, true, DRIVE_FIXED, false}, Reason::ArchiveNotFound},
        {ERROR_PATH_NOT_FOUND, {plain, false, true, DRIVE_FIXED, true}, Reason::ArchiveNotFound},
        {ERROR_WRITE_PROTECT, {plain, false, true, DRIVE_REMOTE, true}, Reason::WriteProtected},
        {ERROR_FILE_NOT_FOUND, {none, false, true, DRIVE_FIXED, true}, Reason::ArchiveNotFound},
        {ERROR_PATH_NOT_FOUND, {none, false, true, DRIVE_NO_ROOT_DIR, false}, Reason::DriveUnavailable},
        {ERROR_SHARING_VIOLATION, {plain, false, true, DRIVE_FIXED, true}, Reason::InUse},
    };
    for (const auto& row : rows)
        EXPECT_EQ(OutcomeOfFailedOpen(row.error, row.facts).reason, row.reason) << row.error;
}

// A standard user's token cannot be raised: the restart runs as another
// account; without User Account Control nothing raises it.
TEST(WindowsErrors, TheTokenAndUserAccountControlDecideWhoARestartRunsAs) {
    const struct {
        TOKEN_ELEVATION_TYPE type;
        bool userAccountControl;
        RestartAccount account;
    } rows[] = {
        {TokenElevationTypeLimited, true, RestartAccount::Same},
        {TokenElevationTypeLimited, false, RestartAccount::Same},  // Wine's: linked tokens, EnableLUA 0
        {TokenElevationTypeDefault, true, RestartAccount::Other},
        {TokenElevationTypeDefault, false, RestartAccount::None},
    };
    for (const auto& row : rows)
        EXPECT_EQ(RestartAccountFor(row.type, row.userAccountControl), row.account) << row.type;
}

TEST(CodePages, ANameIsSpelledOnlyWhereEveryLetterIsKept) {
    const struct {
        const wchar_t* name;
        UINT codePage;
        bool spelled;
    } rows[] = {
        {L"C:\\Games\\Caf\x00e9", 1252, true},
        {L"C:\\\x0418\x0433\x0440\x0430", 1252, false},
        {L"C:\\\x0418\x0433\x0440\x0430", 1251, true},
        {L"C:\\\x0101", 1252, false},  // a best fit ('a') would name another folder
        {L"C:\\\x898b", 932, true},
        {L"C:\\\x898b", CP_UTF8, true},
    };
    for (const auto& row : rows) EXPECT_EQ(CodePageSpells(row.name, row.codePage), row.spelled) << row.codePage;
    EXPECT_EQ(*FromUtf8("D:\\Caf\xC3\xA9", 1252), "D:\\Caf\xE9");
    EXPECT_EQ(FromUtf8("D:\\\xD0\x98", 1252).Why().reason, Reason::NotSpellable);
    EXPECT_EQ(View(WideFrom("\x8C\xA9\x82\xC2", 932)), L"\x898b\x3064");  // Shift-JIS
}

}  // namespace
}  // namespace tolvaren
