// Each reason, produced where it arises, carried to what the user is told:
// the program's start-up scan and click, and the command-line tool, on files
// in memory. Whatever the reason, the archive is left as it was, but where
// the reason itself says it could not be put back.
#include <gtest/gtest.h>

#include <cctype>
#include <map>

#include "cli/command_line.h"
#include "core/archive_format.h"
#include "core/extra_vehicles.h"
#include "core/program_archive.h"
#include "core/reason_texts.h"
#include "core/vehicle_list.h"
#include "tests/memory_file_system.h"
#include "tools/archive_builder.h"

namespace tolvaren {
namespace {

using test::FileStep;
using test::MemoryFileSystem;

const Text kPath = "C:\\Game\\Data\\common.pak";

Text DemoWith(const Text& vehicleList) {
    return BuildArchive({{"Data\\Gfx\\Menu.txt", "title=Demo\r\n"}, {kVehicleListName, vehicleList}});
}

struct Case {
    const char* what;
    Text archive;                   // empty: no such file
    std::map<FileAccess, Outcome> refusals;
    std::vector<MemoryFileSystem::Fault> faults;  // during the click
    std::int32_t requested;
    Reason atStartUp;               // the scan's remembered reason
    Reason onClick;
};

std::vector<Case> Cases() {
    const Text disabled = DemoArchive();
    const Outcome game(Reason::InUse, "PID 4242 (game.exe)");
    const Text listAtEnd = EncodeInt32(1) + EncodeRecord(kVehicleListName, 0, 500) + ";[Team KTM]";
    const Text listInDirectory = EncodeInt32(1) + EncodeRecord(kVehicleListName, -50, 20) + "x";
    return {
        {"healthy", disabled, {}, {}, 1, Reason::Done, Reason::Done},
        {"missing", "", {}, {}, 1, Reason::ArchiveNotFound, Reason::ArchiveNotFound},
        {"held by the game", disabled,
         {{FileAccess::ReadWrite, game}, {FileAccess::ReadOnly, game}}, {}, 1,
         Reason::InUse, Reason::InUse},
        {"read-only", disabled, {{FileAccess::ReadWrite, Reason::AccessDenied}}, {}, 1,
         Reason::Done, Reason::AccessDenied},
        {"a pipe", disabled,
         {{FileAccess::ReadWrite, Reason::NotADiskFile}, {FileAccess::ReadOnly, Reason::NotADiskFile},
          {FileAccess::SharedRead, Reason::NotADiskFile}}, {}, 1,
         Reason::NotADiskFile, Reason::NotADiskFile},
        {"no vehicle list", BuildArchive({{"Data\\Other.dat", ";logo=x"}}), {}, {}, 1,
         Reason::NoVehicleList, Reason::NoVehicleList},
        {"too large", EncodeInt32(1) + EncodeRecord(kVehicleListName, 0, kMaxVehicleListBytes + 1),
         {}, {}, 1, Reason::EntryTooLarge, Reason::EntryTooLarge},
        {"runs past the end", listAtEnd, {}, {}, 1, Reason::EntryDamaged, Reason::EntryDamaged},
        {"starts in the directory", listInDirectory, {}, {}, 1, Reason::EntryDamaged,
         Reason::EntryDamaged},
        {"cannot be disabled", DemoWith("[Team KTM]\r\n logo=ktm\r\n"), {}, {}, 0, Reason::Done,
         Reason::CannotDisable},
        {"disk full", disabled, {}, {{FileStep::Write, 1}}, 1, Reason::Done,
         Reason::WriteFailedPutBack},
        {"disk failing", disabled, {}, {{FileStep::ShortWrite, 1}, {FileStep::Write, 2}}, 1,
         Reason::Done, Reason::WriteFailedNotPutBack},
        {"refused", disabled,
         {{FileAccess::ReadWrite, Reason::CannotOpen}, {FileAccess::ReadOnly, Reason::CannotOpen}},
         {}, 1, Reason::CannotOpen, Reason::CannotOpen},
    };
}

void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

class Outcomes : public ::testing::TestWithParam<Case> {};

TEST_P(Outcomes, ProgramRemembersTheScansReasonAndTellsTheClicks) {
    const Case& c = GetParam();
    MemoryFileSystem files;
    if (!c.archive.empty()) files.files[kPath] = c.archive;
    files.refusals = c.refusals;
    ProgramArchiveLocation() = ArchiveLocation{kPath};
    ScanProgramArchive(files);
    EXPECT_EQ(ProgramScanOutcome().reason, c.atStartUp);
    if (c.atStartUp == Reason::InUse) {
        EXPECT_EQ(ProgramScanOutcome().holder, "PID 4242 (game.exe)");
    }

    for (const auto& fault : c.faults) files.Inject(fault);
    const Outcome clicked = SwitchProgramArchive(files, c.requested);
    EXPECT_EQ(clicked.reason, c.onClick);
    if (c.onClick != Reason::Done) {
        EXPECT_EQ(files.files[kPath] == c.archive, c.onClick != Reason::WriteFailedNotPutBack);
        EXPECT_FALSE(DialogText(clicked, kPath).empty());
    }
}

TEST_P(Outcomes, CommandLineSaysTheSameReasonWithItsExitCode) {
    const Case& c = GetParam();
    MemoryFileSystem files;
    if (!c.archive.empty()) files.files[kPath] = c.archive;
    files.refusals = c.refusals;
    for (const auto& fault : c.faults) files.Inject(fault);
    TextOutput out, err;
    const int exitCode = RunCommandLine({c.requested != 0 ? "enable" : "disable", kPath}, out, err,
                                        files, nullptr);
    EXPECT_EQ(exitCode, ExitCodeFor(c.onClick));
    if (c.onClick == Reason::Done) return;
    EXPECT_EQ(out.text(), "");
    EXPECT_EQ(err.text(), "tolvaren-cli: " + CommandLineText(c.onClick == Reason::InUse
                                                                ? Outcome(Reason::InUse, "PID 4242 (game.exe)")
                                                                : Outcome(c.onClick),
                                                            kPath) + "\n");
    EXPECT_EQ(files.files[kPath] == c.archive, c.onClick != Reason::WriteFailedNotPutBack);
}

INSTANTIATE_TEST_SUITE_P(EachReason, Outcomes, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             Text name;
                             for (const char* at = info.param.what; *at != '\0'; ++at)
                                 if (std::isalnum(static_cast<unsigned char>(*at))) name += *at;
                             return name;
                         });

TEST(Outcomes, AClickAfterAFailedStartUpScansAgain) {
    MemoryFileSystem files;
    const Outcome game(Reason::InUse, "PID 1 (game.exe)");
    files.files[kPath] = DemoArchive();
    files.refusals = {{FileAccess::ReadWrite, game}, {FileAccess::ReadOnly, game}};
    ProgramArchiveLocation() = ArchiveLocation{kPath};
    // The check mark shows what the archive holds although the game has it.
    EXPECT_EQ(StateOfVehicleList(ScanProgramArchive(files)), 0);
    EXPECT_EQ(SwitchProgramArchive(files, 1).reason, Reason::InUse);
    files.refusals.clear();  // the game was closed
    EXPECT_EQ(SwitchProgramArchive(files, 1).reason, Reason::Done);
    EXPECT_EQ(ProgramScanOutcome().reason, Reason::Done);
    EXPECT_EQ(StateOfVehicleList(files.files[kPath]), 1);

    // Once the list was found, a click does not scan the directory again.
    const std::size_t stepsBefore = files.Log().size();
    EXPECT_EQ(SwitchProgramArchive(files, 0).reason, Reason::Done);
    int reads = 0;
    for (std::size_t i = stepsBefore; i < files.Log().size(); ++i)
        reads += files.Log()[i].step == FileStep::Read;
    EXPECT_EQ(reads, 1);  // the entry alone
}

TEST(Outcomes, NoInstallFolderAndNoArchiveThereIsNotInstalled) {
    MemoryFileSystem files;
    ProgramArchiveLocation() = ArchiveLocation{"\\Data\\common.pak"};
    ScanProgramArchive(files);
    EXPECT_EQ(ProgramScanOutcome().reason, Reason::NotInstalled);
    files.files["\\Data\\common.pak"] = DemoArchive();  // an archive at the drive's root counts
    ScanProgramArchive(files);
    EXPECT_EQ(ProgramScanOutcome().reason, Reason::Done);
}

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
         reason <= static_cast<int>(Reason::OutOfMemory); ++reason) {
        const Text text = WithBlanksAsOne(DialogText(static_cast<Reason>(reason), "<the archive's path>"));
        EXPECT_NE(readme.find('"' + text + '"'), Text::npos) << text;
    }
    for (const char* confirmation : {kEnabledMessage, kDisabledMessage})
        EXPECT_NE(readme.find(Text("\"") + confirmation + '"'), Text::npos) << confirmation;
}
#endif

}  // namespace
}  // namespace tolvaren
