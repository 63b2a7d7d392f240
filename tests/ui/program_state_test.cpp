// The program's own state through every reason: what its start-up could
// not read and what a click then comes to. Whatever the reason, the
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

RecordedFolder InstallFolder() { return {test::kReasonCaseInstallFolder, Reason::Done}; }
RecordedFolder NoInstallFolder() { return {Text(), Reason::NotInstalled}; }
RecordedFolder TooLongInstallFolder() { return {Text(), Reason::RecordTooLong}; }

class ProgramStateReasons : public ::testing::TestWithParam<ReasonCase> {};

TEST_P(ProgramStateReasons, SaysWhyStartUpReadNoStateAndTellsTheClicks) {
    const ReasonCase& c = GetParam();
    MemoryFileSystem files;
    if (!c.archive.empty()) files.files[kPath] = c.archive;
    files.refusals = c.refusals;
    ProgramState program(files, InstallFolder);
    const std::int32_t shown = program.ExtraVehiclesEnabled();
    EXPECT_EQ(program.Location().path, kPath);
    EXPECT_EQ(program.StartUpProblem().reason, c.atStartUp);
    if (c.atStartUp != Reason::Done) {
        EXPECT_EQ(shown, 0);  // no check mark for a state never read
        EXPECT_FALSE(DialogText(program.StartUpProblem(), kPath).empty());
    }
    if (c.atStartUp == Reason::InUse) {
        EXPECT_EQ(program.StartUpProblem().detail, test::kReasonCaseHolder);
    }

    for (const auto& fault : c.faults) files.Inject(fault);
    const Outcome clicked = program.SetExtraVehicles(c.requested);
    EXPECT_EQ(clicked.reason, c.onClick);
    EXPECT_EQ(clicked.detail, c.told);
    if (c.onClick != Reason::Done) {
        EXPECT_EQ(files.files[kPath] == c.archive, !c.archiveChanged);
        EXPECT_FALSE(DialogText(clicked, kPath).empty());
    }
}

INSTANTIATE_TEST_SUITE_P(EachReason, ProgramStateReasons, ::testing::ValuesIn(test::ReasonCases()),
                         test::ReasonCaseName);

TEST(ProgramState, AClickWritesWhereTheArchiveNowHoldsTheList) {
    const auto repacked = [](const Text& vehicleList) {
        return BuildArchive({{"Data\\Added.txt", "one more record"}, {kVehicleListName, vehicleList}});
    };
    MemoryFileSystem files;
    files.files[kPath] = DemoArchive();
    ProgramState program(files, InstallFolder);
    EXPECT_EQ(program.ExtraVehiclesEnabled(), 0);
    // Replaced while the dialog is open: every entry has moved.
    files.files[kPath] = repacked(DemoVehicleList());
    EXPECT_EQ(program.SetExtraVehicles(1).reason, Reason::Done);
    EXPECT_EQ(files.files[kPath], repacked(SwitchVehicleKeys(DemoVehicleList(), 1)));

    const Text withoutList = BuildArchive({{"Data\\Added.txt", ";logo=x"}});
    files.files[kPath] = withoutList;
    EXPECT_EQ(program.SetExtraVehicles(0).reason, Reason::NoVehicleList);
    EXPECT_EQ(files.files[kPath], withoutList);
}

TEST(ProgramState, AMissingArchiveIsToldByTheRecordThatLedThere) {
    const std::pair<ProgramState::InstallFolderReader, Reason> records[] = {
        {NoInstallFolder, Reason::NotInstalled},
        {TooLongInstallFolder, Reason::RecordTooLong},
    };
    for (const auto& [record, reason] : records) {
        MemoryFileSystem files;
        ProgramState program(files, record);
        EXPECT_EQ(program.ExtraVehiclesEnabled(), 0);
        EXPECT_EQ(program.Location().path, "\\Data\\common.pak");
        EXPECT_EQ(program.StartUpProblem().reason, reason);
        EXPECT_EQ(program.SetExtraVehicles(1).reason, reason);
        files.files["\\Data\\common.pak"] = DemoArchive();  // an archive at the drive's root counts
        EXPECT_EQ(program.SetExtraVehicles(1).reason, Reason::Done);
    }
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
