// Each reason, produced where it arises, carried to what the user is told:
// the program's start-up scan and click, and the command-line tool, on files
// in memory. Whatever the reason, the archive is left as it was, but where
// the reason itself says it could not be put back.
#include <gtest/gtest.h>

#include <cctype>
#include <map>

#include "cli/command_line.h"
#include "core/reason_texts.h"
#include "core/vehicle_list.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/text_output.h"
#include "tools/archive_builder.h"
#include "ui/program_state.h"

namespace tolvaren {
namespace {

using test::FileStep;
using test::MemoryFileSystem;
using test::TextOutput;

const Text kInstallFolder = "C:\\Games\\Racer";
const Text kPath = "C:\\Games\\Racer\\Data\\common.pak";

Text InstallFolder() { return kInstallFolder; }
Text NoInstallFolder() { return Text(); }

// No installed game is ever looked for when the archive is named.
InstallationSearch NotToBeCalled() {
    ADD_FAILURE() << "searched for an installed game";
    return {};
}

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
        {"cannot be disabled", DemoWith("[Team KTM]\r\n logo=red\r\n"), {}, {}, 0, Reason::Done,
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
    ProgramState program(files, InstallFolder);
    program.ExtraVehiclesEnabled();
    EXPECT_EQ(program.Location().path, kPath);
    EXPECT_EQ(program.ScanOutcome().reason, c.atStartUp);
    if (c.atStartUp == Reason::InUse) {
        EXPECT_EQ(program.ScanOutcome().detail, "PID 4242 (game.exe)");
    }

    for (const auto& fault : c.faults) files.Inject(fault);
    const Outcome clicked = program.SetExtraVehicles(c.requested);
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
                                        files, NotToBeCalled);
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
    ProgramState program(files, InstallFolder);
    // The check mark shows what the archive holds although the game has it.
    EXPECT_EQ(program.ExtraVehiclesEnabled(), 0);
    EXPECT_EQ(program.SetExtraVehicles(1).reason, Reason::InUse);
    files.refusals.clear();  // the game was closed
    EXPECT_EQ(program.SetExtraVehicles(1).reason, Reason::Done);
    EXPECT_EQ(program.ScanOutcome().reason, Reason::Done);
    EXPECT_EQ(StateOfVehicleList(files.files[kPath]), 1);

    // Once the list was found, a click does not scan the directory again.
    const std::size_t stepsBefore = files.Log().size();
    EXPECT_EQ(program.SetExtraVehicles(0).reason, Reason::Done);
    int reads = 0;
    for (std::size_t i = stepsBefore; i < files.Log().size(); ++i)
        reads += files.Log()[i].step == FileStep::Read;
    EXPECT_EQ(reads, 1);  // the entry alone
}

TEST(Outcomes, NoInstallFolderAndNoArchiveThereIsNotInstalled) {
    MemoryFileSystem files;
    ProgramState program(files, NoInstallFolder);
    EXPECT_EQ(program.ExtraVehiclesEnabled(), 1);
    EXPECT_EQ(program.Location().path, "\\Data\\common.pak");
    EXPECT_EQ(program.ScanOutcome().reason, Reason::NotInstalled);
    files.files["\\Data\\common.pak"] = DemoArchive();  // an archive at the drive's root counts
    EXPECT_EQ(program.SetExtraVehicles(1).reason, Reason::Done);
    EXPECT_EQ(program.ScanOutcome().reason, Reason::Done);
}

}  // namespace
}  // namespace tolvaren
