// The program's own state through every reason: what its start-up could
// not read and what a click then comes to. Whatever the reason, the
// archive is left as it was, but where the reason itself says it could not
// be put back.
#include <gtest/gtest.h>

#include "core/confirmations.h"
#include "core/vehicle_list.h"
#include "tests/support/reason_cases.h"
#include "tools/archive_builder.h"
#include "ui/dialog_texts.h"
#include "ui/program_state.h"

namespace tolvaren {
namespace {

using test::FileStep;
using test::MemoryFileSystem;
using test::ReasonCase;
using test::kReasonCasePath;

const Text& kPath = kReasonCasePath;

Result<Text> InstallFolder() { return test::kReasonCaseInstallFolder; }
Result<Text> NoInstallFolder() { return Reason::NotInstalled; }
Result<Text> TooLongInstallFolder() { return Reason::RecordTooLong; }
Result<Text> UnspellableInstallFolder() { return Reason::NotSpellable; }

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
    EXPECT_EQ(clicked.cause, c.cause);
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
        {UnspellableInstallFolder, Reason::NotSpellable},
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

// A standard user's restart runs as another account, which sees neither
// the player's copy of the archive nor a record kept for the player alone.
TEST(RestartOffer, WhatOnlyThePlayersAccountKnowsIsSaidFirst) {
    const Text copy = "C:\\Users\\me\\AppData\\Local\\VirtualStore\\Games\\Racer\\Data\\common.pak";
    const struct {
        RestartSituation situation;
        bool offered, asksPassword, namesCopy;
    } rows[] = {
        {{false, false, "", false}, true, false, false},
        {{false, false, copy, true}, true, false, false},  // the same account sees both after the restart
        {{false, true, "", false}, true, true, false},
        {{false, true, copy, false}, true, true, true},
        {{false, true, copy, true}, false, false, true},
        {{true, true, "", false}, false, false, false},  // User Account Control off
    };
    for (const auto& row : rows) {
        const Text text = RestartText(row.situation, kPath);
        EXPECT_EQ(OffersRestart(row.situation), row.offered) << text;
        EXPECT_EQ(text.find("Restart Tolvaren as an administrator?") != Text::npos, row.offered) << text;
        EXPECT_EQ(text.find("administrator's password") != Text::npos, row.asksPassword) << text;
        EXPECT_EQ(text.find(copy) != Text::npos, row.namesCopy) << text;
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
        const Text told = reason == Reason::PlatformError || reason == Reason::RestartFailed ? "<what Windows says>" : "";
        const Text path = reason == Reason::VirtualStoreCopy ? "<its path>" : "<the archive's path>";
        const Text text = WithBlanksAsOne(DialogText({reason, told}, path));
        if (text.empty()) continue;  // a reason the program never meets
        EXPECT_NE(readme.find('"' + text + '"'), Text::npos) << text;
        EXPECT_EQ(text.find('{'), Text::npos) << text;  // no placeholder left unfilled
    }
    for (const char* confirmation : {kEnabledMessage, kDisabledMessage})
        EXPECT_NE(readme.find(Text("\"") + confirmation + '"'), Text::npos) << confirmation;
}
#endif

}  // namespace
}  // namespace tolvaren
