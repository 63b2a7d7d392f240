// Each Win32 error code the archive's open, read or write can give, carried
// to the reason it is told by.
#include <gtest/gtest.h>

#include <initializer_list>

#include "platform/win32/errors.h"

namespace tolvaren {
namespace {

TEST(WindowsErrors, EachCodeIsToldByItsReasonAndAnyOtherInTheSystemsWords) {
    const struct {
        std::initializer_list<DWORD> codes;
        Reason reason;
    } rows[] = {
        {{ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND}, Reason::ArchiveNotFound},
        {{ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION}, Reason::InUse},
        {{ERROR_ACCESS_DENIED}, Reason::AccessDenied},
        {{ERROR_WRITE_PROTECT}, Reason::WriteProtected},
        {{ERROR_NOT_READY, ERROR_DEVICE_REMOVED, 433 /* ERROR_NO_SUCH_DEVICE */}, Reason::DriveUnavailable},
        {{ERROR_BAD_NETPATH, ERROR_NETNAME_DELETED, ERROR_UNEXP_NET_ERR, ERROR_NETWORK_ACCESS_DENIED,
          ERROR_BAD_NET_NAME, ERROR_NETWORK_UNREACHABLE},
         Reason::NetworkUnavailable},
        {{362, 388, 404, 426 /* ERROR_CLOUD_FILE_... */}, Reason::OnlineOnly},
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

// Writing refused, told by what the file and its drive show: each has its
// own way out, and only a standard user's rights are helped by a restart.
TEST(WindowsErrors, ARefusedWriteIsToldByItsCause) {
    const DWORD plain = FILE_ATTRIBUTE_ARCHIVE;
    const struct {
        DWORD error;
        RefusalFacts facts;
        Reason reason;
    } rows[] = {
        {ERROR_ACCESS_DENIED, {plain, true, false}, Reason::ReadOnlyDrive},  // no restart offered
        {ERROR_WRITE_PROTECT, {plain, true, true}, Reason::ReadOnlyDrive},
        {ERROR_WRITE_PROTECT, {plain, false, true}, Reason::WriteProtected},
        {ERROR_ACCESS_DENIED, {FILE_ATTRIBUTE_DIRECTORY, false, false}, Reason::NotADiskFile},
        {ERROR_ACCESS_DENIED, {FILE_ATTRIBUTE_READONLY, false, false}, Reason::ReadOnlyFile},
        {ERROR_ACCESS_DENIED, {plain, false, false}, Reason::NotElevated},
        {ERROR_ACCESS_DENIED, {INVALID_FILE_ATTRIBUTES, false, true}, Reason::AccessDenied},
    };
    for (const auto& row : rows)
        EXPECT_EQ(OutcomeOfRefusedOpen(row.error, row.facts).reason, row.reason) << row.error;
}

}  // namespace
}  // namespace tolvaren
