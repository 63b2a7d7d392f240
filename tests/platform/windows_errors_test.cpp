// Each Win32 error code the archive's open, read or write can give, carried
// to the reason it is told by: the program's text, the tool's and its exit
// code.
#include <gtest/gtest.h>

#include "core/reason_texts.h"
#include "platform/win32/errors.h"

namespace tolvaren {
namespace {

TEST(WindowsErrors, EachCodeIsToldByItsReason) {
    const struct {
        DWORD code;
        Reason reason;
        const char* inDialog;  // a phrase of the program's text
        const char* inTool;    // a phrase of the tool's text
        int exitCode;
    } rows[] = {
        {ERROR_FILE_NOT_FOUND, Reason::ArchiveNotFound, "was not found", "was not found", 2},
        {ERROR_PATH_NOT_FOUND, Reason::ArchiveNotFound, "was not found", "was not found", 2},
        {ERROR_SHARING_VIOLATION, Reason::InUse, "in use by another program", "in use", 2},
        {ERROR_LOCK_VIOLATION, Reason::InUse, "in use by another program", "in use", 2},
        {ERROR_ACCESS_DENIED, Reason::AccessDenied, "Access to the game archive is denied",
         "access to it is denied", 2},
        {ERROR_WRITE_PROTECT, Reason::WriteProtected, "write-protected medium",
         "write-protected medium", 2},
        {ERROR_NOT_READY, Reason::DriveUnavailable, "drive", "drive", 2},
        {ERROR_DEVICE_REMOVED, Reason::DriveUnavailable, "drive", "drive", 2},
        {433 /* ERROR_NO_SUCH_DEVICE */, Reason::DriveUnavailable, "drive", "drive", 2},
        {ERROR_BAD_NETPATH, Reason::NetworkUnavailable, "network location", "network location", 2},
        {ERROR_NETNAME_DELETED, Reason::NetworkUnavailable, "network location", "network location", 2},
        {ERROR_UNEXP_NET_ERR, Reason::NetworkUnavailable, "network location", "network location", 2},
        {ERROR_NETWORK_ACCESS_DENIED, Reason::NetworkUnavailable, "network location",
         "network location", 2},
        {ERROR_BAD_NET_NAME, Reason::NetworkUnavailable, "network location", "network location", 2},
        {ERROR_NETWORK_UNREACHABLE, Reason::NetworkUnavailable, "network location",
         "network location", 2},
        {362 /* ERROR_CLOUD_FILE_PROVIDER_NOT_RUNNING */, Reason::OnlineOnly, "online-only copy",
         "online-only copy", 2},
        {388 /* ERROR_CLOUD_FILE_NETWORK_UNAVAILABLE */, Reason::OnlineOnly, "online-only copy",
         "online-only copy", 2},
        {404 /* ERROR_CLOUD_FILE_PROVIDER_TERMINATED */, Reason::OnlineOnly, "online-only copy",
         "online-only copy", 2},
        {426 /* ERROR_CLOUD_FILE_REQUEST_TIMEOUT */, Reason::OnlineOnly, "online-only copy",
         "online-only copy", 2},
        {225 /* ERROR_VIRUS_INFECTED */, Reason::BlockedBySecurity, "Security software",
         "security software", 2},
        {226 /* ERROR_VIRUS_DELETED */, Reason::BlockedBySecurity, "Security software",
         "security software", 2},
        {ERROR_DISK_FULL, Reason::DiskFull, "is full", "is full", 2},
        {ERROR_HANDLE_DISK_FULL, Reason::DiskFull, "is full", "is full", 2},
        // Anything else is told by its number, not by a guess.
        {ERROR_IO_DEVICE, Reason::PlatformError, "could not be used: Windows error 1117",
         "could not be used: Windows error 1117", 2},
        {0xBEEF, Reason::PlatformError, "could not be used: Windows error 48879.",
         "could not be used: Windows error 48879.", 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        const Outcome outcome = OutcomeOfWindowsError(row.code);
        EXPECT_EQ(outcome.reason, row.reason);
        EXPECT_NE(DialogText(outcome, "C:\\G\\Data\\common.pak").find(row.inDialog), Text::npos)
            << DialogText(outcome, "C:\\G\\Data\\common.pak");
        EXPECT_NE(CommandLineText(outcome, "C:\\G\\Data\\common.pak").find(row.inTool), Text::npos)
            << CommandLineText(outcome, "C:\\G\\Data\\common.pak");
        EXPECT_EQ(ExitCodeFor(outcome.reason), row.exitCode);
    }
    // The system's words follow the number, on one line.
    const Text told = OutcomeOfWindowsError(ERROR_IO_DEVICE).detail;
    EXPECT_EQ(told.rfind("Windows error 1117: ", 0), 0u) << told;
    EXPECT_EQ(told.find_first_of("\r\n"), Text::npos) << told;
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
