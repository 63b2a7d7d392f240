// The texts of the one table: what the program and the tool say for each
// reason, and that the players' README quotes every message.
#include <gtest/gtest.h>

#include "core/reason_texts.h"
#include "tools/archive_builder.h"

namespace tolvaren {
namespace {

TEST(ReasonTexts, ProgramTextsAreExactlyTheseAndTheToolsSayTheSameReason) {
    const struct {
        Reason reason;
        const char* dialog;
        const char* inToolText;  // a phrase the tool's text must carry
        int exitCode;
        const char* told = "PID 9 (x)";  // what the platform said
    } expected[] = {
        {Reason::InUse,
         "The game archive is in use by another program. Close the game and try again. Nothing "
         "was changed.", "in use by another program (PID 9 (x))", 2},
        {Reason::AccessDenied,
         "Access to the game archive is denied, although this program runs as an administrator: "
         "the file's permissions or security software (for example Controlled Folder Access in "
         "Windows Security) keep it from being changed. Nothing was changed.", "read-only", 2},
        {Reason::ReadOnlyFile,
         "The game archive is marked read-only. Clear its read-only attribute (in the file's "
         "Properties) and try again. Nothing was changed.", "Clear its read-only attribute", 2},
        {Reason::NotElevated,
         "Windows lets only an administrator change the game archive, and this program does not "
         "run as one. Nothing was changed.\r\n\r\nRestart Tolvaren as an administrator?",
         "opened with \"Run as administrator\"", 2},
        {Reason::WriteProtected,
         "The game archive lies on a write-protected medium (a locked memory card, a disc or a "
         "read-only share). Nothing was changed.", "write-protected medium", 2},
        {Reason::DriveUnavailable,
         "The drive that holds the game archive is not available: it is not ready, or it was "
         "removed. Nothing was changed.", "drive that holds the game archive P:\\a.pak", 2},
        {Reason::NetworkUnavailable,
         "The network location that holds the game archive is not available. Nothing was "
         "changed.", "network location", 2},
        {Reason::OnlineOnly,
         "The game archive is an online-only copy in a synced folder, and it cannot be fetched "
         "now. Make the game's folder always available on this device and try again. Nothing was "
         "changed.", "online-only copy", 2},
        {Reason::BlockedBySecurity, "Security software blocked the game archive. Nothing was changed.",
         "security software blocked", 2},
        {Reason::DiskFull, "The disk that holds the game archive is full. Nothing was changed.",
         "is full", 2},
        {Reason::FileSizeLimit,
         "A file-size limit set on this program stops it from writing the game archive. Nothing "
         "was changed.", "file-size limit", 2},
        {Reason::PlatformError,
         "The game archive could not be used: Windows error 1117: I/O. Nothing was changed.",
         "could not be used: Windows error 1117: I/O.", 2, "Windows error 1117: I/O"},
        {Reason::NotInstalled,
         "The game is not installed: its install folder is not in the registry. Nothing was "
         "changed.", "not installed", 4},
        {Reason::ArchiveNotFound, "The game archive was not found:\r\nP:\\a.pak\r\nNothing was changed.",
         "P:\\a.pak was not found", 2},
        {Reason::NotADiskFile, "The game archive is not a file on a disk. Nothing was changed.",
         "not a file on a disk", 2},
        {Reason::NoVehicleList, "The game archive holds no vehicle list to change. Nothing was changed.",
         "holds no vehicle list", 3},
        {Reason::EntryTooLarge,
         "The vehicle list in the game archive is too large to change. Nothing was changed.",
         "too large", 3},
        {Reason::EntryDamaged, "The game archive's directory is damaged. Nothing was changed.",
         "is damaged", 3},
        {Reason::CannotDisable,
         "The vehicle list has no [Team KTM] section to comment out, so the extra vehicles cannot "
         "be disabled. Nothing was changed.", "cannot be disabled", 3},
        {Reason::WriteFailedPutBack,
         "The game archive could not be written (the disk may be full). It was put back as it was.",
         "put back as it was", 2, ""},
        {Reason::WriteFailedPutBack,
         "The game archive could not be written (the drive is not available). It was put back as "
         "it was.", "(the drive is not available)", 2, "the drive is not available"},
        // Not among the texts above; here so that each reason has its text.
        {Reason::CannotOpen, "The game archive could not be opened:\r\nP:\\a.pak\r\nNothing was changed.",
         "P:\\a.pak could not be opened", 2},
        {Reason::WriteFailedNotPutBack,
         "The game archive could not be written, nor put back as it was (the disk may be full): its "
         "vehicle list may be partly switched. Free some space on the disk, or mend what stopped "
         "the write, and click again to finish the switch.", "run the same command again", 2, ""},
        {Reason::VirtualStoreCopy,
         "Windows also keeps an older copy of the game archive for you:\r\nP:\\a.pak\r\nWhen the "
         "game does not run as an administrator, it may read that copy instead. This program did "
         "not change it.", "note: Windows also keeps an older copy", 0},
        {Reason::RestartDeclined,
         "Tolvaren was not restarted as an administrator. Nothing was changed.", "", 2},
        {Reason::OutOfMemory,
         "There is not enough memory to switch the extra vehicles. Nothing was changed.",
         "not enough memory", 2},
        // Only the search meets these: the tool warns, the program never says them.
        {Reason::Unreadable, "", "P:\\a.pak: PID 9 (x)", 4},
        {Reason::NotARegistry, "", "P:\\a.pak: not a Wine registry file", 4},
        {Reason::Malformed, "", "P:\\a.pak: PID 9 (x)", 4},
        {Reason::NotOnADrive, "", "install folder \"PID 9 (x)\" is not on a drive", 4},
        {Reason::NotAPrefix, "", "WINEPREFIX P:\\a.pak is not a Wine prefix", 4, "WINEPREFIX"},
    };
    for (const auto& e : expected) {
        const Outcome outcome(e.reason, e.told);
        EXPECT_EQ(DialogText(outcome, "P:\\a.pak"), e.dialog);
        EXPECT_NE(CommandLineText(outcome, "P:\\a.pak").find(e.inToolText), Text::npos)
            << CommandLineText(outcome, "P:\\a.pak");
        EXPECT_EQ(ExitCodeFor(e.reason), e.exitCode);
    }
    // A path that looks like a placeholder is only a path.
    EXPECT_EQ(DialogText(Reason::ArchiveNotFound, "{holder}"),
              "The game archive was not found:\r\n{holder}\r\nNothing was changed.");
}

#ifdef TOLVAREN_PLAYERS_README
// Lines wrap anywhere in a text file: compare with runs of blanks as one.
Text WithBlanksAsOne(const Text& text) {
    Text squeezed;
    for (const char c : text) {
        const bool blank = c == ' ' || c == '\r' || c == '\n';
        if (!blank) squeezed += c;
        else if (!squeezed.empty() && squeezed.back() != ' ') squeezed += ' ';
    }
    return squeezed;
}

TEST(ReasonTexts, ThePlayersReadmeQuotesEveryMessage) {
    const Text readme = WithBlanksAsOne(ReadWholeFile(TOLVAREN_PLAYERS_README));
    ASSERT_FALSE(readme.empty());
    for (int number = static_cast<int>(Reason::Done) + 1;
         number <= static_cast<int>(Reason::NotAPrefix); ++number) {
        // As the README writes what a message fills in.
        const auto reason = static_cast<Reason>(number);
        const Text told = reason == Reason::PlatformError ? "<what Windows says>" : "";
        const Text path = reason == Reason::VirtualStoreCopy ? "<its path>" : "<the archive's path>";
        const Text text = WithBlanksAsOne(DialogText({reason, told}, path));
        if (text.empty()) continue;  // a reason the program never meets
        EXPECT_NE(readme.find('"' + text + '"'), Text::npos) << text;
    }
    for (const char* confirmation : {kEnabledMessage, kDisabledMessage})
        EXPECT_NE(readme.find(Text("\"") + confirmation + '"'), Text::npos) << confirmation;
}
#endif

}  // namespace
}  // namespace tolvaren
