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
    } expected[] = {
        {Reason::InUse,
         "The game archive is in use by another program. Close the game and try again. Nothing "
         "was changed.", "in use by another program (PID 9 (x))", 2},
        {Reason::AccessDenied,
         "The game archive is read-only or access to it is denied. Run this program as an "
         "administrator. Nothing was changed.", "read-only", 2},
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
         "put back as it was", 2},
        // Not among the texts above; here so that each reason has its text.
        {Reason::CannotOpen, "The game archive could not be opened:\r\nP:\\a.pak\r\nNothing was changed.",
         "P:\\a.pak could not be opened", 2},
        {Reason::WriteFailedNotPutBack,
         "The game archive could not be written, nor put back as it was (the disk may be full): its "
         "vehicle list may be partly switched. Free some space on the disk and click again to finish "
         "the switch.", "run the same command again", 2},
        {Reason::OutOfMemory,
         "There is not enough memory to switch the extra vehicles. Nothing was changed.",
         "not enough memory", 2},
        // Only the search meets these: the tool warns, the program never says them.
        {Reason::Unreadable, "", "P:\\a.pak: PID 9 (x)", 4},
        {Reason::NotARegistry, "", "P:\\a.pak: not a Wine registry file", 4},
        {Reason::Malformed, "", "P:\\a.pak: PID 9 (x)", 4},
        {Reason::NotOnADrive, "", "install folder \"PID 9 (x)\" is not on a drive", 4},
        {Reason::NotAPrefix, "", "WINEPREFIX P:\\a.pak is not a Wine prefix", 4},
    };
    for (const auto& e : expected) {
        const Outcome outcome(e.reason, "PID 9 (x)");
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
    for (int reason = static_cast<int>(Reason::Done) + 1;
         reason <= static_cast<int>(Reason::NotAPrefix); ++reason) {
        const Text text = WithBlanksAsOne(DialogText(static_cast<Reason>(reason), "<the archive's path>"));
        if (text.empty()) continue;  // a reason the program never meets
        EXPECT_NE(readme.find('"' + text + '"'), Text::npos) << text;
    }
    for (const char* confirmation : {kEnabledMessage, kDisabledMessage})
        EXPECT_NE(readme.find(Text("\"") + confirmation + '"'), Text::npos) << confirmation;
}
#endif

}  // namespace
}  // namespace tolvaren
