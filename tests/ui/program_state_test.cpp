// The program's own state through every reason: what its start-up scan
// remembers and what a click then comes to. Whatever the reason, the
// archive is left as it was, but where the reason itself says it could not
// be put back.
#include <gtest/gtest.h>

#include "core/reason_texts.h"
#include "core/vehicle_list.h"
#include "tests/support/reason_cases.h"
#include "ui/program_state.h"

namespace tolvaren {
namespace {

using test::FileStep;
using test::MemoryFileSystem;
using test::ReasonCase;
using test::kReasonCasePath;

const Text& kPath = kReasonCasePath;

Text InstallFolder() { return test::kReasonCaseInstallFolder; }
Text NoInstallFolder() { return Text(); }

class ProgramStateReasons : public ::testing::TestWithParam<ReasonCase> {};

TEST_P(ProgramStateReasons, RemembersTheScansReasonAndTellsTheClicks) {
    const ReasonCase& c = GetParam();
    MemoryFileSystem files;
    if (!c.archive.empty()) files.files[kPath] = c.archive;
    files.refusals = c.refusals;
    ProgramState program(files, InstallFolder);
    program.ExtraVehiclesEnabled();
    EXPECT_EQ(program.Location().path, kPath);
    EXPECT_EQ(program.ScanOutcome().reason, c.atStartUp);
    if (c.atStartUp == Reason::InUse) {
        EXPECT_EQ(program.ScanOutcome().detail, test::kReasonCaseHolder);
    }

    for (const auto& fault : c.faults) files.Inject(fault);
    const Outcome clicked = program.SetExtraVehicles(c.requested);
    EXPECT_EQ(clicked.reason, c.onClick);
    EXPECT_EQ(clicked.detail, c.told);
    if (c.onClick != Reason::Done) {
        EXPECT_EQ(files.files[kPath] == c.archive, c.onClick != Reason::WriteFailedNotPutBack);
        EXPECT_FALSE(DialogText(clicked, kPath).empty());
    }
}

INSTANTIATE_TEST_SUITE_P(EachReason, ProgramStateReasons, ::testing::ValuesIn(test::ReasonCases()),
                         test::ReasonCaseName);

TEST(ProgramState, AClickAfterAFailedStartUpScansAgain) {
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

TEST(ProgramState, NoInstallFolderAndNoArchiveThereIsNotInstalled) {
    MemoryFileSystem files;
    ProgramState program(files, NoInstallFolder);
    EXPECT_EQ(program.ExtraVehiclesEnabled(), 1);
    EXPECT_EQ(program.Location().path, "\\Data\\common.pak");
    EXPECT_EQ(program.ScanOutcome().reason, Reason::NotInstalled);
    files.files["\\Data\\common.pak"] = DemoArchive();  // an archive at the drive's root counts
    EXPECT_EQ(program.SetExtraVehicles(1).reason, Reason::Done);
    EXPECT_EQ(program.ScanOutcome().reason, Reason::Done);
}

TEST(ProgramState, AVirtualizedCopyOfTheArchiveIsMentionedOnce) {
    MemoryFileSystem files;
    files.files[kPath] = DemoArchive();
    ProgramState program(files, InstallFolder);
    program.ExtraVehiclesEnabled();
    EXPECT_EQ(program.VirtualizedCopyToMention(), "");
    const Text copy = "C:\\Users\\me\\AppData\\Local\\VirtualStore\\Games\\Racer\\Data\\common.pak";
    files.virtualizedCopies[kPath] = copy;
    EXPECT_EQ(program.VirtualizedCopyToMention(), copy);
    EXPECT_EQ(program.VirtualizedCopyToMention(), "");
}

}  // namespace
}  // namespace tolvaren
